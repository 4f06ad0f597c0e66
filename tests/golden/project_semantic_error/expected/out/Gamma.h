// Gamma
  int id;
