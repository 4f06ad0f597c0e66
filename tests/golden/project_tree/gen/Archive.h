// Archive
  purge() {
  // BEGIN-UID.Archive.purge
  keep_last(7);
  // END-UID.Archive.purge
  }
