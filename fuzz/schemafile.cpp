// Schema file loading on any bytes: decoding (byte order marks, declared
// encodings), XML parsing and building the catalogs and views. Every bad file
// must end in a numbered error; a schema that loads must also write out and
// load back.

#include "schema/SchemaFile.h"

#include <nvtarnix/Error.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    std::shared_ptr<nvtarnix::Schema> schema;
    try {
        schema = nvtarnix::SchemaFile::read(bytes, QStringLiteral("fuzz.xml"));
    } catch (const nvtarnix::Error &e) {
        if (e.number() == 0 || !e.description().contains(QLatin1String("fuzz.xml")))
            std::abort();  // every failure is numbered and names the file
        return 0;
    }
    // What was read is written as it is read: the text written from the
    // schema read back is the text first written.
    const QString text = nvtarnix::SchemaFile::toText(*schema);
    const auto again = nvtarnix::SchemaFile::read(text.toUtf8(), QStringLiteral("fuzz.xml"));
    if (nvtarnix::SchemaFile::toText(*again) != text)
        std::abort();
    return 0;
}
