#pragma once
#include "TempDir.h"
#include "shell/MessageBoxes.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <gtest/gtest.h>
#include <memory>

class TForm1;
class TForm2;
class QWidget;

// A register in a temporary folder, the two windows built against it, and
// every message box answered by script and recorded.
class FormFixture : public ::testing::Test {
protected:
    static constexpr const char* kAdminPassword = "abc123";

    void SetUp() override;
    void TearDown() override;

    // Makes "_.udb" with kAdminPassword (call before createForms()).
    void makeRegister();
    // Builds TForm1 then TForm2, as the program does.
    void createForms();
    // Adds visitor rows straight through the store (not through the form).
    void insertRows(const QList<QStringList>& rowsOfElevenFields);

    // Answers for the coming Yes/No questions, in order; unanswered ones get No.
    void answerNextQuestions(std::initializer_list<bool> answers);
    // Texts of the boxes shown so far (all kinds), oldest first.
    QStringList boxTexts() const;
    QList<MessageBoxes::Request> boxes;

    // Types text key by key into a widget, any characters included.
    static void typeText(QWidget* widget, const QString& text);

    // Lets queued events and timers run for the given time (pumpEvents).
    static void pump(int milliseconds);

    // Types a password into the login window and presses its button.
    void enterPassword(const QString& password);
    // Runs the login check now, as its timer would, and logs in with
    // kAdminPassword.
    void logIn();

    TempDir dir;
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;

private:
    std::deque<bool> answers_;
};
