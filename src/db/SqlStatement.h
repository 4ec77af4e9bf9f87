#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// A statement is built by concatenating fixed program text with values taken
// from the form. Values are kept apart from the fixed text: the text shows as
// written (see Text()), but the engine receives each value bound as a
// parameter, so no typed character can change what the statement does.

struct SqlPiece {
    enum Kind {
        Fixed,  // program text, sent as it stands
        Value,  // typed text, bound as a parameter
        Column, // typed column name, accepted only when it names a column of data
        Integer // typed record number, accepted only when it is a whole number
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

class SqlLine {
public:
    SqlLine() = default;
    SqlLine(const char* fixedUtf8) { *this += fixedUtf8; }

    SqlLine& operator+=(const char* fixedUtf8);
    SqlLine& operator+=(const SqlValue& v);
    SqlLine& operator+=(const SqlColumn& c);
    SqlLine& operator+=(const SqlInteger& n);
    template <typename T>
    SqlLine operator+(const T& piece) const
    {
        SqlLine l(*this);
        l += piece;
        return l;
    }

    const std::vector<SqlPiece>& pieces() const { return pieces_; }
    QString text() const;

private:
    std::vector<SqlPiece> pieces_;
};

inline SqlLine operator+(const char* fixedUtf8, const SqlValue& v) { return SqlLine(fixedUtf8) + v; }
inline SqlLine operator+(const char* fixedUtf8, const SqlColumn& c) { return SqlLine(fixedUtf8) + c; }
inline SqlLine operator+(const char* fixedUtf8, const SqlInteger& n) { return SqlLine(fixedUtf8) + n; }

// What the engine receives: the text with a placeholder per value, and the
// values in placeholder order.
struct CompiledSql {
    QString text;
    QStringList parameters;
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
    bool isEmpty() const { return lines_.empty(); }
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

// Columns of table data, in the order every listing selects them.
const QStringList& DataColumns();
