// Prints how long writing and reading a full configuration file takes, and its size.
#include "config/configurationfile.h"
#include "config/configurationfileformat.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace config;

namespace {

// Every slot at the upload's limit of 30 bytes with a 30-character text: the largest file an
// installer normally keeps.
Configuration fullConfiguration(const QString& path)
{
    Configuration configuration;
    configuration.resetToDefaults();
    for (StringSlot& slot : configuration.slots)
        slot = StringSlot { QByteArray(30, '\r'), QString(30, u'W'), 30 };
    configuration.configPath = path;
    return configuration;
}

template <typename Work>
double microsecondsPerRun(int runs, Work work)
{
    QElapsedTimer timer;
    timer.start();
    for (int run = 0; run < runs; ++run)
        work();
    return static_cast<double>(timer.nsecsElapsed()) / 1000.0 / runs;
}

} // namespace

int main()
{
    QTemporaryDir dir;
    Configuration configuration = fullConfiguration(dir.filePath(u"full.qxc"_s));
    const DelayFieldTexts delay { u"16"_s, u"59"_s, u"59"_s };
    StoredConfiguration stored;
    stored.slots = configuration.slots;
    stored.baudRateText = configuration.baudRateText;
    const QByteArray bytes = encodeConfigurationFile(stored).value();

    constexpr int kMemoryRuns = 20000;
    constexpr int kDiskRuns = 200;
    const double encode = microsecondsPerRun(kMemoryRuns, [&] { (void)encodeConfigurationFile(stored); });
    const double decode = microsecondsPerRun(kMemoryRuns, [&] { (void)decodeConfigurationFile(bytes); });
    const double save = microsecondsPerRun(kDiskRuns, [&] { (void)writeConfiguration(configuration, delay); });
    const double load = microsecondsPerRun(kDiskRuns, [&] { (void)readConfiguration(configuration.configPath); });

    std::printf("full configuration file: %lld bytes\n", static_cast<long long>(bytes.size()));
    std::printf("encode in memory: %.2f us\n", encode);
    std::printf("decode in memory: %.2f us\n", decode);
    std::printf("save to disk (atomic replace): %.1f us\n", save);
    std::printf("load from disk (size check and read): %.1f us\n", load);
    return 0;
}
