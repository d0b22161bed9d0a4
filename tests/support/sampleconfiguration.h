// A configuration that uses every part of an upload, and the exact bytes it puts on the wire.
#pragma once

#include "config/configuration.h"

// 19200 baud, Composite first, a different string in every slot, some of them with bytes that
// look like the protocol's own (SYN, ACK, NUL, 0xFF), so that a link that treats data as control
// or sends the slots in another order shows up. The delay 1 h 2 min 3 s is 0x0E8B.
inline config::Configuration sampleConfiguration()
{
    using config::SlotId;
    config::Configuration configuration;
    configuration.commitBaudRate(u"19200");
    configuration.scanPriority = config::ScanPriority::Composite;
    configuration.slot(SlotId::DiscreteOn).commandBytes = QByteArray("PWR ON\r");
    configuration.slot(SlotId::DiscreteOff).commandBytes = QByteArray("PWR OFF\r");
    configuration.slot(SlotId::VideoFirstDetected).commandBytes = QByteArray("\x02\x00\xFF", 3);
    configuration.slot(SlotId::VgaInputActive).commandBytes = QByteArray("SOURCE 10\r");
    configuration.slot(SlotId::CompositeInputActive).commandBytes = QByteArray("\x06\x06\x06");
    configuration.slot(SlotId::SVideoInputActive).commandBytes = QByteArray("\x16\x16");
    configuration.slot(SlotId::NoInputActive).commandBytes = QByteArray("SLEEP\r");
    return configuration;
}

// Written out byte for byte, so that a wrong order or constant in the code cannot agree with itself.
inline const QByteArray kSampleWireImage = QByteArray::fromHex("16 16 4B 00 02 0E 8B"
                                                               "07 505752204F4E0D"
                                                               "08 505752204F46460D"
                                                               "03 0200FF"
                                                               "0A 534F555243452031300D"
                                                               "03 060606"
                                                               "02 1616"
                                                               "06 534C4545500D");
