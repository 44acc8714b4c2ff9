#include "storage/records.h"

#include "storage/cp1252.h"
#include "storage/text.h"

#include <cstring>
#include <stdexcept>
#include <utility>

namespace vornel {

int RecordLayout::indexOf(std::string_view name) const
{
    for (int i = 0; i < int(m_fields.size()); ++i)
        if (m_fields[i].name == name)
            return i;
    return -1;
}

int RecordLayout::indexOf(QStringView name) const
{
    for (int i = 0; i < int(m_fields.size()); ++i)
        if (name == QLatin1StringView(m_fields[i].name.data(), qsizetype(m_fields[i].name.size())))
            return i;
    return -1;
}

Record::Record(const RecordLayout& layout)
    : m_layout(&layout), m_bytes(layout.size(), '\0')
{
}

Record::Record(const RecordLayout& layout, const char* bytes)
    : m_layout(&layout), m_bytes(bytes, layout.size())
{
}

void Record::setBytes(const char* bytes)
{
    std::memcpy(m_bytes.data(), bytes, size_t(m_layout->size()));
}

void Record::clear()
{
    m_bytes.fill('\0');
}

namespace {
// The bytes of a field's text, trimmed. Trimming on the bytes is the same as
// trimming the decoded text (Windows-1252 maps exactly the bytes 0..32 to
// the characters 0..32) and saves a second copy of every field of a scan.
// A damaged length byte never reads past the field.
inline std::pair<const char*, int> trimmedBytes(const RecordLayout& layout, const char* record, int field)
{
    const char* p = record + layout.offsetOf(field);
    int end = qMin(int(static_cast<unsigned char>(p[0])), layout.fields()[field].capacity);
    const char* text = p + 1;
    int begin = 0;
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32)
        --end;
    return {text + begin, end - begin};
}
} // namespace

QString fieldText(const RecordLayout& layout, const char* record, int field)
{
    const auto [text, len] = trimmedBytes(layout, record, field);
    return len == 0 ? QString() : cp1252::decode(text, len);
}

void RecordText::decode(const RecordLayout& layout, const char* record)
{
    if (m_layout != &layout) {
        m_layout = &layout;
        m_text.resize(layout.size());
    }
    char16_t* out = reinterpret_cast<char16_t*>(m_text.data());
    int pos = 0;
    const int count = layout.fieldCount();
    for (int i = 0; i < count; ++i) {
        const auto [text, len] = trimmedBytes(layout, record, i);
        m_start[std::size_t(i)] = pos;
        const auto* bytes = reinterpret_cast<const unsigned char*>(text);
        for (int k = 0; k < len; ++k)
            out[pos + k] = cp1252::kDecodeTable[bytes[k]];
        pos += len;
    }
    m_start[std::size_t(count)] = pos;
}

QStringView RecordText::field(std::string_view name) const
{
    const int i = m_layout ? m_layout->indexOf(name) : -1;
    if (i < 0)
        throw std::logic_error("no such record field");
    return field(i);
}

QString Record::text(int field) const
{
    return fieldText(*m_layout, m_bytes.constData(), field);
}

QString Record::text(std::string_view name) const
{
    return text(require(name));
}

QString Record::text(QStringView name) const
{
    const int i = m_layout->indexOf(name);
    if (i < 0)
        throw std::logic_error("no such record field");
    return text(i);
}

void Record::setText(int field, QStringView value)
{
    const int cap = m_layout->fields()[field].capacity;
    QByteArray bytes = cp1252::encode(trimmed(value));
    if (bytes.size() > cap)
        bytes.truncate(cap);
    char* p = m_bytes.data() + m_layout->offsetOf(field);
    p[0] = char(bytes.size());
    std::memset(p + 1, 0, size_t(cap));
    std::memcpy(p + 1, bytes.constData(), size_t(bytes.size()));
}

void Record::setText(std::string_view name, QStringView value)
{
    setText(require(name), value);
}

std::optional<bool> Record::flag(std::string_view name) const
{
    const QString t = text(name);
    if (t == kFlagYes)
        return true;
    if (t == kFlagNo)
        return false;
    return std::nullopt;
}

void Record::setFlag(std::string_view name, bool yes)
{
    setText(name, yes ? kFlagYes : kFlagNo);
}

int Record::require(std::string_view name) const
{
    const int i = m_layout->indexOf(name);
    if (i < 0)
        throw std::logic_error("no such record field");
    return i;
}

} // namespace vornel
