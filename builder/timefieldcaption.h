// The captions of the three time fields, hours, minutes and seconds, which the builder's wait and
// the main window's "No Input Active" delay lay out alike.
#pragma once

class QLabel;
class QLineEdit;

namespace builder {

enum class TimeUnit { Hours, Minutes, Seconds };

// Names the field after its unit ("HoursTextBox"), makes it eight digits wide and returns its
// caption ("Hours:"), for the caller to place beside it.
QLabel* captionTimeField(QLineEdit& field, TimeUnit unit);

} // namespace builder
