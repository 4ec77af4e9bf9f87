#pragma once
#include <QObject>

class TForm1;
class TVisitorSuggestionList;
struct TReturningVisitor;

// Returning visitors offered under the record form's identity number and
// mobile edits while the guard types; picking one fills the visitor's fields.
// The main window owns it.
class TReturningVisitorOffers : public QObject {
public:
    // Offers under form's edits, looked up in form's register.
    explicit TReturningVisitorOffers(TForm1* form);

    TVisitorSuggestionList* IDNumberSuggestions;
    TVisitorSuggestionList* MobileNumberSuggestions;
    void Edit_IDNumberChange();
    void Edit_ShouJiChange();

private:
    void fillFromReturningVisitor(const TReturningVisitor& visitor);

    TForm1* form_;
};
