void Pump::start() {
    // BEGIN-UID.Pump.start
    power_on();
    // END-UID.Pump.start
}
void Pump::stop() {
}
