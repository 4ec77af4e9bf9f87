#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

struct sqlite3;
struct CompiledSql;
class TSearchIndex;

// The one connection to the register file. It is configured by a connection
// string, opened by the first statement that needs it and reopened by the
// next statement after Close(), after the file at its path was replaced, or
// after a read met a damaged page. The database password is the cipher key.
class TRegisterConnection : public QObject {
    Q_OBJECT
public:
    explicit TRegisterConnection(QObject* parent = nullptr);
    ~TRegisterConnection() override;

    void SetConnectionString(const QString& connectionString);

    bool Connected() const { return db_ != nullptr; }
    // Opens the file if it is not open; raises EDatabaseError with the
    // engine's message when it cannot be opened or read with the key.
    sqlite3* handle();
    // Closes every open query of this connection, then the file.
    void Close();

    // Runs a statement that returns no rows.
    void Execute(const CompiledSql& sql);
    // The rows of data the last Execute changed (the day index's own
    // bookkeeping after it not counted).
    qint64 RowsChanged() const { return rowsChanged_; }

    // Changes whenever a statement may have written: row caches compare it.
    std::uint64_t writeGeneration() const { return writeGeneration_; }
    // Also tells `wrote`, before the write is committed.
    void noteWrite()
    {
        ++writeGeneration_;
        emit wrote();
    }

    // Keeps an in-memory copy of the searched columns, loaded in the
    // background whenever the file is opened, for the searches of the
    // record list; false drops it. Raises EDatabaseError.
    void EnableSearchIndex(bool enabled);
    // The copy, or nullptr when not enabled.
    TSearchIndex* searchIndex() const { return searchIndex_.get(); }

signals:
    void closing();
    // A statement of the program may have written (also at open and close):
    // a listener that reads the file should connect queued.
    void wrote();

private:
    qint64 rowsChanged_ = 0;
    // Which file a path named when the handle was opened.
    struct FileIdentity {
        bool known = false;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        static FileIdentity Of(const QString& path);
        bool isSameFile(const QString& path) const;
    };

    void open();

    QString connectionString_;
    QString dataSource_;
    FileIdentity openedFile_;
    sqlite3* db_ = nullptr;
    std::uint64_t writeGeneration_ = 0;
    std::unique_ptr<TSearchIndex> searchIndex_;
};

// Cipher page size of registers written now: large pages let a search scan
// the table with fewer page decryptions. Files written before use the legacy
// size and stay readable.
inline constexpr int kRegisterPageSize = 16384;
inline constexpr int kLegacyRegisterPageSize = 4096;

// The statements that set the register's cipher settings, those of SQLCipher 3
// with the given page size, on the main database or on the attached database
// `schema`.
QByteArray CipherSettingsPragma(int pageSize, const char* schema = nullptr);

// Hardens a freshly opened handle against a hostile file, applies the
// register's cipher settings and checks that the key reads the file. Shared by
// the program, the set-up tool and compaction. Raises EDatabaseError with the
// engine's message.
void KeyRegisterHandle(sqlite3* db, const QString& password);
