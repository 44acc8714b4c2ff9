#include "practice/core/zipsink.h"

#include "storage/filelayer.h"

#include <cerrno>
#include <memory>

namespace vornel::backup {

struct ZipSink::Device {
    std::unique_ptr<files::SaveFile> out;
};

ZipSink::ZipSink(QString path) : m_path(std::move(path))
{
    zip_error_init(&m_error);
}

ZipSink::~ZipSink()
{
    delete m_device;
    zip_error_fini(&m_error);
}

zip_t* ZipSink::openArchive()
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_function_create(&ZipSink::callback, this, &error);
    if (!source) {
        zip_error_fini(&error);
        return nullptr;
    }
    zip_t* archive = zip_open_from_source(source, ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        zip_source_free(source);
    zip_error_fini(&error);
    return archive;
}

zip_int64_t ZipSink::callback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    return static_cast<ZipSink*>(state)->handle(data, length, command);
}

zip_int64_t ZipSink::fail(int zipError, const QString& failure)
{
    zip_error_set(&m_error, zipError, 0);
    if (m_failure.isEmpty())
        m_failure = failure;
    return -1;
}

zip_int64_t ZipSink::handle(void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    const QString writeFailure = QStringLiteral(
        "Impossibile scrivere nella cartella di destinazione: il disco potrebbe essere pieno "
        "oppure la scrittura non \u00e8 consentita.");
    switch (command) {
    case ZIP_SOURCE_SUPPORTS:
        return ZIP_SOURCE_SUPPORTS_WRITABLE;
    case ZIP_SOURCE_STAT:
        // A new archive: there is nothing to read yet (libzip's own wording
        // of a missing file).
        zip_error_set(&m_error, ZIP_ER_READ, ENOENT);
        return -1;
    case ZIP_SOURCE_OPEN:
        return fail(ZIP_ER_NOENT, QString());
    case ZIP_SOURCE_READ:
    case ZIP_SOURCE_SEEK:
    case ZIP_SOURCE_TELL:
        return fail(ZIP_ER_OPNOTSUPP, QString());
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_BEGIN_WRITE: {
        delete m_device;
        m_device = new Device;
        m_device->out = std::make_unique<files::SaveFile>(m_path);
        // A copy is always a new file: writing it in place would leave a
        // partial ZIP under its name when the write fails.
        m_device->out->setDirectWriteFallback(false);
        if (!m_device->out->open(QIODevice::WriteOnly))
            return fail(ZIP_ER_OPEN, QStringLiteral("Impossibile creare il file nella cartella di destinazione: "
                                                    "la cartella non esiste o la scrittura non \u00e8 consentita."));
        return 0;
    }
    case ZIP_SOURCE_WRITE: {
        if (!m_device || !m_device->out)
            return fail(ZIP_ER_INTERNAL, writeFailure);
        const qint64 n = qint64(length);
        if (m_device->out->write(static_cast<const char*>(data), n) != n)
            return fail(ZIP_ER_WRITE, writeFailure);
        return n;
    }
    case ZIP_SOURCE_SEEK_WRITE: {
        if (!m_device || !m_device->out)
            return fail(ZIP_ER_INTERNAL, writeFailure);
        const zip_int64_t to = zip_source_seek_compute_offset(zip_uint64_t(m_device->out->pos()),
                                                              zip_uint64_t(m_device->out->size()), data, length,
                                                              &m_error);
        if (to < 0 || !m_device->out->seek(to))
            return fail(ZIP_ER_SEEK, writeFailure);
        return 0;
    }
    case ZIP_SOURCE_TELL_WRITE:
        if (!m_device || !m_device->out)
            return fail(ZIP_ER_INTERNAL, writeFailure);
        return m_device->out->pos();
    case ZIP_SOURCE_COMMIT_WRITE:
        if (!m_device || !m_device->out || !m_device->out->commit())
            return fail(ZIP_ER_WRITE, writeFailure);
        m_committed = true;
        m_device->out.reset();
        return 0;
    case ZIP_SOURCE_ROLLBACK_WRITE:
        if (m_device && m_device->out)
            m_device->out->cancelWriting();
        delete m_device;
        m_device = nullptr;
        return 0;
    case ZIP_SOURCE_REMOVE:
        return 0;
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&m_error, data, length);
    case ZIP_SOURCE_FREE:
        // An uncommitted save file removes its temporary file.
        delete m_device;
        m_device = nullptr;
        return 0;
    default:
        return fail(ZIP_ER_OPNOTSUPP, QString());
    }
}

} // namespace vornel::backup
