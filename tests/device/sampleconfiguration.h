// A configuration that uses every part of an upload, shared by the upload's test suites.
#pragma once

#include "config/configuration.h"

// 57600 baud, Composite first, and strings whose bytes look like the protocol's own (SYN, ACK,
// NUL, 0xFF) so that a link that treats data as control shows up. Record order on the wire:
// 8 + 9 + 4 + 11 + 31 + 3 + 1 bytes after the 7 of the handshake and settings, 74 in all.
inline config::Configuration sampleConfiguration()
{
    using config::SlotId;
    config::Configuration configuration;
    configuration.commit_baud_rate(u"57600");
    configuration.scan_priority = config::ScanPriority::Composite;
    configuration.slot(SlotId::DiscreteOn).command_bytes = QByteArray("PWR ON\r");
    configuration.slot(SlotId::DiscreteOff).command_bytes = QByteArray("PWR OFF\r");
    configuration.slot(SlotId::VideoFirstDetected).command_bytes = QByteArray("\x02\x00\xFF", 3);
    configuration.slot(SlotId::VgaInputActive).command_bytes = QByteArray("SOURCE 10\r");
    configuration.slot(SlotId::CompositeInputActive).command_bytes = QByteArray(30, '\x06');
    configuration.slot(SlotId::SVideoInputActive).command_bytes = QByteArray("\x16\x16");
    return configuration;
}
