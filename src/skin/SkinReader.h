#pragma once
// The skin container: a header, a list of entry names, a size table and the
// concatenated entry bodies (bitmaps and one INI), decoded from a skin file.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

class TSkinReader {
public:
    static constexpr int kMaxEntries = 1001;
    // Decoded sizes above this are refused; real skins are a few hundred KB.
    static constexpr int64_t kDefaultMaxDecodedSize = int64_t{64} * 1024 * 1024;
    static inline const QString kOlderSkinText =
        QStringLiteral("This is Older Skin File\rPlease update to new version !");

    // Skip block after the 16-byte header for a version code; -1 if unknown.
    static int SkipBlockSize(uint32_t version);

    // Decodes a skin file (size, then LZHUF stream) and indexes it.
    bool Load(const QByteArray& skinFile);
    // Indexes an already decoded container.
    bool LoadContainer(const QByteArray& container);

    void ExtractEntry(const QString& name, QByteArray& target) const;
    // First entry whose lower-cased name contains text; name is left
    // unchanged when nothing matches.
    void ExtractEntryLike(const QString& text, QByteArray& target, QString& name) const;

    const QStringList& Names() const { return names_; }
    int EntryCount() const { return count_; }
    int32_t EntrySize(int index) const;
    // Bytes of an entry as stored, clipped to the data that is really there.
    QByteArray EntryData(int index) const;
    const QByteArray& EntryDataStream() const { return data_; }
    uint32_t Version() const { return version_; }
    int32_t NameListLength() const { return nameListLength_; }
    // Offset of the bodies in the container of the last successful load.
    int64_t BodiesOffset() const { return bodiesOffset_; }

    void SetMaxDecodedSize(int64_t bytes) { maxDecoded_ = bytes; }

    // Lower-cases ASCII letters only, as entry names are compared.
    static QString LowerName(const QString& text);

private:
    void Clear();

    QStringList names_;
    int count_ = 0;
    std::array<int32_t, kMaxEntries> sizes_{};
    std::array<int64_t, kMaxEntries> offsets_{};
    QByteArray data_;
    uint32_t version_ = 0;
    int32_t nameListLength_ = 0;
    int64_t bodiesOffset_ = 0;
    int64_t maxDecoded_ = kDefaultMaxDecodedSize;
};
