#pragma once
// TQuickIni: the small INI reader of the skin description. Lines are
// trimmed, comments and blank lines dropped, sections and keys compared
// ignoring letter case.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <stdexcept>

class TQuickIni {
public:
    static inline const char* const kNoListText = "The parameter Strings is unassigned!";

    // Reads the text from the given bytes (one byte per character).
    void LoadFromStream(const QByteArray& bytes);
    void LoadFromText(const QString& text);

    // Fills list with the section names in file order, brackets removed.
    // Throws std::invalid_argument with kNoListText when list is null.
    void ReadSections(QStringList* list) const;
    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;

    const QStringList& Lines() const { return lines_; }

    // Integer text as ReadInteger reads it; false when it is not a number.
    static bool ParseInteger(const QString& text, int& value);

private:
    struct SectionIndex {
        QString header; // the header line, lower-cased
        int line;
    };
    QStringList lines_;
    QList<SectionIndex> sections_;
};
