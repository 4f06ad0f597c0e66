// Alpha
  int id;
