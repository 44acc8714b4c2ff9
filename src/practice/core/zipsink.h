#pragma once
#include <QString>

#include <zip.h>

namespace vornel::backup {

// The one place a backup's ZIP file is written: a libzip write source over
// the file layer's SaveFile (so files::faults can make its open, write or
// final rename fail), so the file appears under its name only once it is
// complete; a cancelled or failed write leaves nothing behind and never
// touches a file already there.
class ZipSink {
public:
    explicit ZipSink(QString path);
    ~ZipSink();
    ZipSink(const ZipSink&) = delete;
    ZipSink& operator=(const ZipSink&) = delete;
    // A new archive on the sink (libzip owns the source from here on), or
    // nullptr. The sink must outlive the returned archive.
    zip_t* openArchive();
    // Italian description of a write failure, empty when there was none.
    QString failure() const { return m_failure; }
    bool committed() const { return m_committed; }

private:
    static zip_int64_t callback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command);
    zip_int64_t handle(void* data, zip_uint64_t length, zip_source_cmd_t command);
    zip_int64_t fail(int zipError, const QString& failure);

    struct Device;
    QString m_path;
    Device* m_device = nullptr;
    zip_error_t m_error;
    QString m_failure;
    bool m_committed = false;
};

} // namespace vornel::backup
