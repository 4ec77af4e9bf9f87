#include "skin/SkinReader.h"

#include "skin/LZH.h"
#include "skin/SkinMessage.h"

#include <algorithm>
#include <cstring>

namespace {
int32_t readInt32(const QByteArray& bytes, int64_t offset)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        const int64_t at = offset + i;
        const uint8_t b = at >= 0 && at < bytes.size() ? static_cast<uint8_t>(bytes[static_cast<qsizetype>(at)]) : 0;
        v |= static_cast<uint32_t>(b) << (8 * i);
    }
    return static_cast<int32_t>(v);
}

// Splits at CR LF, CR or LF; a last line without an ending counts, a
// trailing ending adds no empty line.
QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}
} // namespace

int TSkinReader::SkipBlockSize(uint32_t version)
{
    switch (version) {
    case 20000: return 0;
    case 30000: return 256;
    case 40000: return 80;
    case 50000: return 48;
    case 60000: return 117;
    case 70000: return 69;
    default: return -1;
    }
}

QString TSkinReader::LowerName(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    }
    return out;
}

void TSkinReader::Clear()
{
    names_.clear();
    count_ = 0;
    sizes_.fill(0);
    offsets_.fill(0);
    data_.clear();
    version_ = 0;
    nameListLength_ = 0;
    bodiesOffset_ = 0;
}

bool TSkinReader::Load(const QByteArray& skinFile)
{
    Clear();
    const int32_t size = readInt32(skinFile, 0);
    if (size > maxDecoded_)
        return false;

    QByteArray container;
    if (size > 0) {
        // Room for the size and a last match that runs past it.
        container.resize(static_cast<qsizetype>(size) + lzh::F);
        char* out = container.data();
        qsizetype written = 0;
        const qsizetype room = container.size();
        qsizetype pos = std::min<qsizetype>(4, skinFile.size());
        TLZH lzh;
        lzh.Unpack(
            size,
            [out, room, &written](const uint8_t* buffer, int count) {
                for (int i = 0; i < count && written < room; ++i)
                    out[written++] = static_cast<char>(buffer[i]);
            },
            [&skinFile, &pos](uint8_t* buffer, int requested, int& got) {
                const qsizetype left = skinFile.size() - pos;
                got = static_cast<int>(std::min<qsizetype>(requested, left));
                if (got > 0) {
                    std::memcpy(buffer, skinFile.constData() + pos, static_cast<size_t>(got));
                    pos += got;
                }
            });
        container.truncate(written);
    }
    return LoadContainer(container);
}

bool TSkinReader::LoadContainer(const QByteArray& container)
{
    Clear();
    const auto version = static_cast<uint32_t>(readInt32(container, 0));
    const int skip = SkipBlockSize(version);
    if (skip < 0) {
        ShowSkinMessage(kOlderSkinText);
        return false;
    }
    version_ = version;
    nameListLength_ = readInt32(container, 4);

    const int64_t total = container.size();
    const int64_t namesStart = std::min<int64_t>(16 + skip, total);
    // A negative length reads nothing; a length past the end is clipped.
    const int64_t nameBytes = std::clamp<int64_t>(nameListLength_, 0, total - namesStart);
    const QString text = QString::fromLatin1(container.constData() + namesStart, static_cast<qsizetype>(nameBytes));
    const QStringList lines = splitLines(LowerName(text));

    // The size table has room for kMaxEntries; further names are dropped,
    // but the table in the container still spans one word per line.
    const int64_t lineCount = lines.size();
    count_ = static_cast<int>(std::min<int64_t>(lineCount, kMaxEntries));
    names_ = lines.mid(0, count_);

    const int64_t sizesStart = namesStart + std::max<int64_t>(nameListLength_, 0);
    for (int i = 0; i < count_; ++i)
        sizes_[static_cast<size_t>(i)] = readInt32(container, sizesStart + int64_t{4} * i);

    bodiesOffset_ = sizesStart + 4 * lineCount;
    if (bodiesOffset_ < total)
        data_ = container.mid(static_cast<qsizetype>(bodiesOffset_));

    int64_t offset = 0;
    for (int i = 0; i < count_; ++i) {
        offsets_[static_cast<size_t>(i)] = offset;
        offset += std::max<int32_t>(sizes_[static_cast<size_t>(i)], 0);
    }
    return true;
}

int32_t TSkinReader::EntrySize(int index) const
{
    if (index < 0 || index >= count_)
        return 0;
    return sizes_[static_cast<size_t>(index)];
}

QByteArray TSkinReader::EntryData(int index) const
{
    if (index < 0 || index >= count_)
        return {};
    const int64_t start = offsets_[static_cast<size_t>(index)];
    const int64_t size = std::max<int32_t>(sizes_[static_cast<size_t>(index)], 0);
    const int64_t available = data_.size();
    if (start >= available || size == 0)
        return {};
    const int64_t length = std::min(size, available - start);
    return data_.mid(static_cast<qsizetype>(start), static_cast<qsizetype>(length));
}

void TSkinReader::ExtractEntry(const QString& name, QByteArray& target) const
{
    target.clear();
    const QString wanted = LowerName(name);
    for (int i = 0; i < count_; ++i) {
        if (names_[i] == wanted) {
            target = EntryData(i);
            return;
        }
    }
}

void TSkinReader::ExtractEntryLike(const QString& text, QByteArray& target, QString& name) const
{
    target.clear();
    for (int i = 0; i < count_; ++i) {
        if (names_[i].contains(text)) {
            target = EntryData(i);
            name = names_[i];
            return;
        }
    }
}
