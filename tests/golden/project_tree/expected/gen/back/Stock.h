// Stock
  int count;
