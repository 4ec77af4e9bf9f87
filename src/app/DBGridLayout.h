#pragma once

class QTableView;
class TRegisterQuery;

// The record grid: read-only, one fixed-height line per record, a title row
// and a row indicator. Set up once, when the main window is built.
void SetUpRecordGrid(QTableView* grid);

// Column widths of the record list; the remarks column stays hidden. Opening
// a result rebuilds the columns, so this runs after every listing.
void ApplyRecordGridColumns(QTableView* grid);

// Keeps the grid's current row and the query's current row together: a row
// picked in the grid moves the query, a move of the query moves the grid.
void KeepGridInStepWithQuery(QTableView* grid, TRegisterQuery* query);
