#pragma once
#include "FormFixture.h"
#include "app/DBGridModel.h"
#include "app/Unit1.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/RegisterQuery.h"
#include "db/Sqlite.h"
#include "login/Unit_Login.h"
#include "shell/HandlerWiring.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>

// Runs `act` on the next modal dialog of type T once it is shown.
template <typename T>
void whenShown(std::function<void(T*)> act)
{
    QTimer::singleShot(0, [act] {
        for (int i = 0; i < 200; ++i) {
            if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
                act(dialog);
                return;
            }
            QTest::qWait(10);
        }
        ADD_FAILURE() << "no dialog was shown";
    });
}

// The main window logged in on a register holding the given rows, with the
// clock panel held still.
class RegisterFixture : public FormFixture {
public:
    static constexpr const char* kClock = "2026/12/7 09:05:03";

protected:
    void login(const QList<QStringList>& rows = {})
    {
        makeRegister();
        if (!rows.isEmpty())
            insertRows(rows);
        createForms();
        form1->Timer1->stop();
        form1->StatusPanel(2)->setText(QString::fromUtf8(kClock));
        logIn();
        ASSERT_TRUE(form1->isVisible());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form1.get()));
    }

    // Rows of five visitors: name, category, remarks in the given order.
    static QList<QStringList> visitors(const QStringList& names, const QString& category = QStringLiteral("网站帐号"))
    {
        QList<QStringList> rows;
        for (const QString& n : names)
            rows << QStringList{category,
                                n,
                                QStringLiteral("110"),
                                QString(),
                                QString(),
                                QStringLiteral("送货"),
                                QString(),
                                QString(),
                                QString(),
                                QString(),
                                QStringLiteral("旧日期")};
        return rows;
    }

    // Types text one character at a time, as a keyboard or an input method would.
    static void type(QWidget* w, const QString& text)
    {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(w, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(w, &release);
        }
    }

    QString panel(int i) const { return form1->StatusPanel(i)->text(); }
    int gridRows() const { return form1->DBGrid1->model()->rowCount(); }
    int gridRow() const { return form1->DBGrid1->currentIndex().row(); }
    QString gridCell(int row, DataColumn column) const
    {
        return form1->DBGrid1->model()->index(row, ColumnIndex(column)).data().toString();
    }

    // Clicks a data cell of the grid with the mouse.
    void clickCell(int row, DataColumn column, Qt::MouseButton button = Qt::LeftButton)
    {
        QTableView* grid = form1->DBGrid1;
        const QModelIndex cell = grid->model()->index(row, ColumnIndex(column));
        grid->scrollTo(cell);
        const QRect r = grid->visualRect(cell);
        QTest::mouseClick(grid->viewport(), button, {}, r.center());
    }

    // Every row of table data, in record-number order, all twelve columns.
    QList<QStringList> stored() const
    {
        sqlite3* db = nullptr;
        sqlite3_open_v2(dir.file(QStringLiteral("_.udb")).toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword));
        QList<QStringList> rows;
        {
            SqliteStatement s(
                db,
                QStringLiteral(
                    "SELECT 编号,分类,姓名,身份证,手机,电话,来由,地址,来访,离开,备注,日期 FROM data ORDER BY 编号"));
            while (s.step()) {
                QStringList row;
                for (int i = 0; i < 12; ++i)
                    row << s.columnText(i);
                rows << row;
            }
        }
        sqlite3_close(db);
        return rows;
    }

    // The grid shows the ten columns at their widths, never the remarks.
    void expectGridLayout() const
    {
        const int widths[] = {40, 60, 100, 110, 110, 110, 200, 120, 120, 120};
        QTableView* grid = form1->DBGrid1;
        ASSERT_EQ(grid->model()->columnCount(), 11);
        for (int i = 0; i < 10; ++i) {
            EXPECT_FALSE(grid->isColumnHidden(i)) << i;
            if (i != ColumnIndex(DataColumn::IdentityNumber)) {
                EXPECT_EQ(grid->columnWidth(i), widths[i]) << i;
            }
        }
        // 身份证 shows a whole number, the cell's margins aside.
        const QFontMetrics metrics(grid->font());
        EXPECT_GE(grid->columnWidth(ColumnIndex(DataColumn::IdentityNumber)),
                  std::max(widths[3], metrics.horizontalAdvance(QStringLiteral("44010619900307123X")) + 8));
        EXPECT_TRUE(grid->isColumnHidden(ColumnIndex(DataColumn::Remarks)));
        EXPECT_EQ(grid->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("姓名"));
    }
};
