#pragma once

// The columns of table data, in the order the program's selects name them
// (DataColumns(), kListedColumns): field i of a listed row is column i.
enum class DataColumn : int {
    RecordNumber,   // 编号
    Category,       // 分类
    Name,           // 姓名
    IdentityNumber, // 身份证
    Mobile,         // 手机
    Telephone,      // 电话
    Reason,         // 来由
    Address,        // 地址
    Arrival,        // 来访
    Departure,      // 离开
    Remarks,        // 备注
    Date,           // 日期, never listed
};

// The column's position in a row of data and of the record list.
constexpr int ColumnIndex(DataColumn column) { return static_cast<int>(column); }

// How many columns the record list selects: every one but 日期.
inline constexpr int kListedColumnCount = ColumnIndex(DataColumn::Date);
