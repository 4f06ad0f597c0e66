classes.h \
notes.txt: \
  model.dsm \
  gen.tem \
  lib/base.dsm \
  parts.tem \
  header.txt \
  insert.txt
