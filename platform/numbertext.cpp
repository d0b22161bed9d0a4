#include "numbertext.h"

#include <QLocale>

#include <cmath>

namespace platform {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

qsizetype skipBlanks(QStringView text, qsizetype at)
{
    while (at < text.size() && isBlank(text[at]))
        ++at;
    return at;
}

qsizetype skipDigits(QStringView text, qsizetype at)
{
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at;
}

// Length of the longest number that starts at `from`, or 0 when none does. An exponent
// counts only when at least one digit follows its letter and sign.
qsizetype numberLength(QStringView text, qsizetype from)
{
    qsizetype at = from;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-'))
        ++at;
    const qsizetype integerEnd = skipDigits(text, at);
    bool hasDigits = integerEnd > at;
    at = integerEnd;
    if (at < text.size() && text[at] == u'.') {
        const qsizetype fractionEnd = skipDigits(text, at + 1);
        hasDigits = hasDigits || fractionEnd > at + 1;
        at = fractionEnd;
    }
    if (!hasDigits)
        return 0;
    if (at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
        qsizetype exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == u'+' || text[exponent] == u'-'))
            ++exponent;
        const qsizetype exponentEnd = skipDigits(text, exponent);
        if (exponentEnd > exponent)
            at = exponentEnd;
    }
    return at - from;
}

} // namespace

bool isNumericText(QStringView text)
{
    const qsizetype start = skipBlanks(text, 0);
    const qsizetype length = numberLength(text, start);
    return length > 0 && skipBlanks(text, start + length) == text.size();
}

double leadingNumberValue(QStringView text)
{
    const qsizetype start = skipBlanks(text, 0);
    const qsizetype length = numberLength(text, start);
    if (length == 0)
        return 0.0;
    // The C locale, whatever the user's: a configuration file reads the same in every country.
    // Out of range, it gives infinity or zero, which is what the callers' range checks want.
    return QLocale::c().toDouble(text.mid(start, length));
}

double roundHalfToEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction < 0.5)
        return below;
    if (fraction > 0.5)
        return below + 1.0;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

std::optional<int> wholeNumberWithin(double value, int lowest, int highest)
{
    const double whole = roundHalfToEven(value);
    if (!(whole >= lowest && whole <= highest))
        return std::nullopt;
    return static_cast<int>(whole);
}

} // namespace platform
