// Account
long balance() {
  // BEGIN-UID.Account.balance
  return cents / 100;
  // END-UID.Account.balance
}
