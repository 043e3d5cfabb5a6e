#include <gtest/gtest.h>

#include <qor/Recordset.h>
#include <qor/RuntimeError.h>

#include "support/Errors.h"

using qor::MemoryRecordset;
using qor::Variant;
using qor::test::ExpectRuntimeError;

TEST(MemoryRecordset, WalksRowsInOrderReadsFieldsByNameInAnyCaseAndNamesWhatIsWrong) {
    MemoryRecordset rs({"Customer", "Amount"}, {{"Acme", 10}, {"Bolt", 20.5}, {Variant::Null(), Variant()}});
    EXPECT_EQ(rs.RecordCount(), 3);
    qor::Field& amount = rs.Fields("AMOUNT");
    EXPECT_EQ(amount.Name(), "Amount");
    EXPECT_EQ(amount.Index(), 1);
    EXPECT_EQ(rs.FieldIndex("cUSTOMER"), 0);
    std::vector<std::string> seen;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
        seen.push_back(qor::JoinText(rs.Fields("customer").Value()) + "|" + qor::JoinText(amount.Value()));
    EXPECT_EQ(seen, (std::vector<std::string>{"Acme|10", "Bolt|20.5", "|"}));
    EXPECT_EQ(ExpectRuntimeError(qor::kErrNoCurrentRecord, [&] { rs.MoveNext(); }), "No current record.");
    ExpectRuntimeError(qor::kErrNoCurrentRecord, [&] { (void)amount.Value(); });
    rs.MoveFirst();
    EXPECT_EQ(CStr(rs.Value(0)), "Acme");
    EXPECT_TRUE(MemoryRecordset({"a"}, {}).IsEOF());

    EXPECT_EQ(ExpectRuntimeError(qor::kErrItemNotFound, [&] { rs.Fields("amonut"); }),
              "Item not found in this collection: 'amonut'");
    ExpectRuntimeError(qor::kErrItemNotFound, [&] { rs.FieldIndex("amonut"); });
    ExpectRuntimeError(qor::kErrItemNotFound, [&] { rs.Fields(2); });
    ExpectRuntimeError(qor::kErrItemNotFound, [&] { rs.Value(-1); });
    EXPECT_EQ(ExpectRuntimeError(qor::kErrInvalidCall, [] { MemoryRecordset({"a", "b"}, {{1, 2}, {3}}); }),
              "Row 2 has 1 values for 2 fields");
}
