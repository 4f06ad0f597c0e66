classes.h \
notes.txt: \
  model.dsm \
  gen.tem \
  header.txt \
  insert.txt
