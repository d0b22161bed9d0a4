#include "nativename.h"

#include <QCoreApplication>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace platform {

namespace {

constexpr char16_t kKeptByteBase = 0xDC00;

// The length of the UTF-8 sequence at the start of bytes, or 0 when none starts there: a stray
// continuation byte, a cut sequence, an overlong form, a surrogate or a code beyond Unicode.
qsizetype utf8SequenceLength(const uchar* bytes, qsizetype available)
{
    const uchar lead = bytes[0];
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    char32_t smallest = 0;
    char32_t code = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        smallest = 0x80;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        smallest = 0x800;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        smallest = 0x10000;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (available < length)
        return 0;
    for (qsizetype index = 1; index < length; ++index) {
        if ((bytes[index] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (bytes[index] & 0x3F);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

bool isKeptByte(const QString& name, qsizetype index)
{
    const char16_t unit = name.at(index).unicode();
    return unit >= kKeptByteBase + 0x80 && unit <= kKeptByteBase + 0xFF
        && (index == 0 || !name.at(index - 1).isHighSurrogate());
}

} // namespace

QString nameFromNativeBytes(const QByteArray& bytes)
{
    QString name;
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    qsizetype textStart = 0;
    for (qsizetype index = 0; index < bytes.size();) {
        const qsizetype length = utf8SequenceLength(data + index, bytes.size() - index);
        if (length > 0) {
            index += length;
            continue;
        }
        name += QString::fromUtf8(bytes.sliced(textStart, index - textStart));
        name += QChar(char16_t(kKeptByteBase + data[index]));
        textStart = ++index;
    }
    return name + QString::fromUtf8(bytes.sliced(textStart));
}

QByteArray nativeName(const QString& name)
{
    QByteArray bytes;
    qsizetype textStart = 0;
    for (qsizetype index = 0; index < name.size(); ++index) {
        if (!isKeptByte(name, index))
            continue;
        bytes += QStringView(name).sliced(textStart, index - textStart).toUtf8();
        bytes += char(name.at(index).unicode() - kKeptByteBase);
        textStart = index + 1;
    }
    return bytes + QStringView(name).sliced(textStart).toUtf8();
}

QStringList programArguments(int argc, char* argv[])
{
#ifdef Q_OS_UNIX
    QStringList arguments;
    for (int index = 0; index < argc; ++index)
        arguments.append(nameFromNativeBytes(QByteArray(argv[index])));
    return arguments;
#else
    // Windows hands the program its arguments as UTF-16 text, which Qt reads whole.
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return QCoreApplication::arguments();
#endif
}

QString escapedForTerminal(const QString& text)
{
    QString escaped;
    for (qsizetype index = 0; index < text.size(); ++index) {
        const char16_t unit = text.at(index).unicode();
        const bool control = unit < 0x20 || (unit >= 0x7F && unit <= 0x9F);
        if (!control && !isKeptByte(text, index)) {
            escaped += text.at(index);
            continue;
        }
        const int byte = control ? unit : unit - kKeptByteBase;
        escaped += u"\\x"_s + QString::number(byte, 16).rightJustified(2, u'0');
    }
    return escaped;
}

bool nameCameWhole(const QString& path)
{
    return !path.contains(QChar::ReplacementCharacter) || QFileInfo::exists(path);
}

} // namespace platform
