// Order
  int id;
