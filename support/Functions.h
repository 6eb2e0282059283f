// Small shared functions: the decibel conversion of signal levels.
#pragma once

// dBm to microwatts: 0 dBm is 1000, -30 dBm is 1.
double dbm2pw(double dbm);
