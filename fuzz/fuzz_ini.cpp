// The INI reader, on any file another program may have left: every read,
// then a write whose value must read back.

#include "FuzzSupport.h"

#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace vardof::platform;
    const QString path = vardof::fuzz::writeFile(QStringLiteral("fuzz.ini"), data, size);
    IniFile ini(path);

    const QStringList sections = ini.readSections();
    for (const QString &section : sections) {
        VARDOF_FUZZ_CHECK(ini.sectionExists(section));
        const QStringList keys = ini.readSection(section);
        for (const QString &key : keys) {
            (void)ini.readString(section, key);
            (void)ini.readInteger(section, key, -1);
            (void)ini.readBool(section, key, false);
            (void)ini.readFloat(section, key, -1);
        }
        (void)ini.readSectionValues(section);
    }

    if (!ini.writeString(QStringLiteral("Fuzz"), QStringLiteral("Chiave"), QStringLiteral("valore scritto")))
        return 0;
    VARDOF_FUZZ_CHECK(ini.readString(QStringLiteral("Fuzz"), QStringLiteral("Chiave")) == QLatin1String("valore scritto"));
    if (!sections.isEmpty()) {
        const QString first = sections.first();
        if (ini.writeString(first, QStringLiteral("Altra"), QStringLiteral("42")))
            VARDOF_FUZZ_CHECK(ini.readInteger(first, QStringLiteral("Altra"), -1) == 42);
        VARDOF_FUZZ_CHECK(ini.eraseSection(first));
        VARDOF_FUZZ_CHECK(!ini.sectionExists(first));
    }
    return 0;
}
