#pragma once
#include <QObject>

class TRegisterQuery;

// Links the record grid to the working query.
class TRegisterDataSource : public QObject {
    Q_OBJECT
public:
    explicit TRegisterDataSource(TRegisterQuery* dataSet, QObject* parent = nullptr) : QObject(parent), DataSet(dataSet)
    {}
    TRegisterQuery* DataSet;
};
