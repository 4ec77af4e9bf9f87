#pragma once
#include "db/DataColumn.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

// A statement is built by concatenating fixed program text with values taken
// from the form. Values are kept apart from the fixed text: the text shows as
// written (see Text()), but the engine receives each value bound as a
// parameter, so no typed character can change what the statement does.

struct SqlPiece {
    enum Kind {
        Fixed,   // program text, sent as it stands
        Value,   // typed text, bound as a parameter
        Column,  // typed column name, accepted only when it names a column of data
        Integer, // typed record number, accepted only when it is a whole number
        Where    // program text that begins the where condition of a select
    };
    Kind kind;
    QString text;
};

// Wrappers that mark a form value for its kind of piece.
struct SqlValue {
    QString text;
};
struct SqlColumn {
    QString text;
};
struct SqlInteger {
    QString text;
};

// The head of a select, each part as the program writes it, blanks included:
// "<select><list><from><table>". A line starting with it records what the
// select reads.
struct SqlSelect {
    const char* select; // "Select "
    const char* list;   // the select list: "编号,分类"
    const char* from;   // " from "
    const char* table;  // "data", or "(data)" as Jet accepts it
};
// Program text that begins the where condition of a select; everything after
// it, to the end of the statement, is the condition.
struct SqlWhere {
    const char* text;
};

// What a select head names.
struct SqlSelectHead {
    QString list;
    QString table; // without the parentheses Jet allows around it
};

class SqlLine {
public:
    SqlLine() = default;
    SqlLine(const char* fixedUtf8) { *this += fixedUtf8; }
    SqlLine(const SqlSelect& head);

    SqlLine& operator+=(const char* fixedUtf8);
    SqlLine& operator+=(const SqlValue& v);
    SqlLine& operator+=(const SqlColumn& c);
    SqlLine& operator+=(const SqlInteger& n);
    SqlLine& operator+=(const SqlWhere& w);
    template <typename T>
    SqlLine operator+(const T& piece) const
    {
        SqlLine l(*this);
        l += piece;
        return l;
    }

    const std::vector<SqlPiece>& pieces() const { return pieces_; }
    // Set when the line was begun with a select head; the head is then its
    // first piece.
    const std::optional<SqlSelectHead>& selectHead() const { return selectHead_; }
    QString text() const;

private:
    std::vector<SqlPiece> pieces_;
    std::optional<SqlSelectHead> selectHead_;
};

inline SqlLine operator+(const char* fixedUtf8, const SqlValue& v) { return SqlLine(fixedUtf8) + v; }
inline SqlLine operator+(const char* fixedUtf8, const SqlColumn& c) { return SqlLine(fixedUtf8) + c; }
inline SqlLine operator+(const char* fixedUtf8, const SqlInteger& n) { return SqlLine(fixedUtf8) + n; }

// A plain select: a select head followed by nothing or by a where condition.
struct SqlPlainSelect {
    QString table;
    QString list;
    // What follows the head as the engine receives it: the where condition
    // with its placeholders and the line ends, or only the line ends. All
    // the statement's values belong to it.
    QString rest;
};

// What the engine receives: the text with a placeholder per value, and the
// values in placeholder order; and, for a plain select, what it reads.
struct CompiledSql {
    QString text;
    QStringList parameters;
    std::optional<SqlPlainSelect> plainSelect;
};

// The statement of a query: a list of lines, sent joined with CR LF after each.
class TSqlStrings {
public:
    // Called before every change, so the owning query can close.
    std::function<void()> onChanging;

    void Clear()
    {
        changing();
        lines_.clear();
    }
    void Add(const SqlLine& line)
    {
        changing();
        lines_.push_back(line);
    }
    int Count() const { return static_cast<int>(lines_.size()); }
    // The statement as written, values in place: every line followed by CR LF.
    QString Text() const;
    // Raises EDatabaseError for a column name that is not a column of data or
    // a record number that is not a whole number.
    CompiledSql compile() const;

private:
    void changing()
    {
        if (onChanging)
            onChanging();
    }
    std::vector<SqlLine> lines_;
};

// Columns of table data, in the order every listing selects them (DataColumn).
const QStringList& DataColumns();

// The select list of the record list: every column of data but 日期.
inline constexpr const char* kListedColumns = "编号,分类,姓名,身份证,手机,电话,来由,地址,来访,离开,备注";
