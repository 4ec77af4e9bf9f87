#pragma once
#include <QString>

// The store's own texts for the guard, where the engine's message would not
// tell what happened.
namespace StoreMessages {

// A page of the register could not be read (its check failed): the file is
// damaged, not the memory short, whatever the engine says.
inline QString RegisterDamaged() { return QStringLiteral("数据库文件已损坏,请先备份,再用'压缩修复'."); }

// Compaction met a damaged page: it copies pages through the same check, so
// it cannot rebuild the file; the damaged file stays as it was.
inline QString DamagedRegisterNotCompacted()
{
    return QStringLiteral("数据库文件有无法读取的损坏页,压缩无法修复;原文件未作改动,请保留备份.");
}

// An add when the record numbers have reached their largest value.
inline QString RecordNumbersExhausted() { return QStringLiteral("记录编号已达到上限,无法再添加记录."); }

} // namespace StoreMessages
