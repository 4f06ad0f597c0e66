// Daily
  int day;
