// generated, do not edit
class Account;
class Base;
