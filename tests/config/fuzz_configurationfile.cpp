// libFuzzer target: any bytes given to the configuration reader. A file either fails with an error
// or reads into a value that writes back to a file which reads into the same value.
#include "config/configurationfileformat.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const platform::Result<config::StoredConfiguration> read = config::decodeConfigurationFile(file);
    if (!read)
        return 0;
    const platform::Result<QByteArray> written = config::encodeConfigurationFile(read.value());
    if (!written)
        std::abort();
    const platform::Result<config::StoredConfiguration> reread = config::decodeConfigurationFile(written.value());
    if (!reread || !(reread.value() == read.value()))
        std::abort();
    return 0;
}
