#include <gtest/gtest.h>

#include <qor/GenServices.h>
#include <qor/Recordset.h>
#include <qor/RuntimeError.h>

using qor::MemoryRecordset;
using qor::RuntimeError;
using qor::Variant;

namespace {

MemoryRecordset Sample() {
    return MemoryRecordset({"Customer", "Amount"},
                           {{"Acme", 10}, {"Bolt", 20.5}, {Variant::Null(), Variant()}});
}

}  // namespace

TEST(MemoryRecordset, WalksRowsInOrderAndReadsFieldsByNameInAnyCase) {
    MemoryRecordset rs = Sample();
    EXPECT_EQ(rs.RecordCount(), 3);
    ASSERT_FALSE(rs.IsEOF());
    qor::Field& amount = rs.Fields("AMOUNT");
    EXPECT_EQ(amount.Name(), "Amount");
    EXPECT_EQ(amount.Index(), 1);
    std::vector<std::string> seen;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
        seen.push_back(qor::JoinText(rs.Fields("customer").Value()) + "|" + qor::JoinText(amount.Value()));
    EXPECT_EQ(seen, (std::vector<std::string>{"Acme|10", "Bolt|20.5", "|"}));
    rs.MoveFirst();
    EXPECT_EQ(CStr(rs.Value(0)), "Acme");
}

TEST(MemoryRecordset, TextJoinsValuesToEmptyTextWithTheThreadLocale) {
    const std::string previous = qor::GenServices().Locale;
    qor::GenServices().Locale = "nl_BE";
    MemoryRecordset rs = Sample();
    std::string text = "old contents";
    rs.MoveNext();
    rs.Text(1, text);
    EXPECT_EQ(text, "20,5");
    rs.MoveNext();
    rs.Text(0, text);
    EXPECT_EQ(text, "");
    rs.Text(1, text);
    EXPECT_EQ(text, "");
    qor::GenServices().Locale = previous;
}

TEST(MemoryRecordset, ErrorsNameWhatIsWrong) {
    MemoryRecordset rs = Sample();
    try {
        rs.Fields("amonut");
        FAIL() << "a missing field was found";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), 3265);
        EXPECT_STREQ(e.what(), "Item not found in this collection: 'amonut'");
    }
    EXPECT_THROW(rs.Fields(2), RuntimeError);
    EXPECT_THROW(rs.Value(-1), RuntimeError);

    rs.MoveNext();
    rs.MoveNext();
    rs.MoveNext();
    ASSERT_TRUE(rs.IsEOF());
    for (auto call : {+[](MemoryRecordset& r) { r.MoveNext(); },
                      +[](MemoryRecordset& r) { (void)r.Fields("Amount").Value(); }}) {
        try {
            call(rs);
            FAIL() << "no error at the end of the record set";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), 3021);
            EXPECT_STREQ(e.what(), "No current record.");
        }
    }

    try {
        MemoryRecordset bad({"a", "b"}, {{1, 2}, {3}});
        FAIL() << "a short row was accepted";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), 5);
        EXPECT_STREQ(e.what(), "Row 2 has 1 values for 2 fields");
    }
}

TEST(MemoryRecordset, EmptySetIsAtItsEndAtOnce) {
    MemoryRecordset rs({"a"}, {});
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_TRUE(rs.IsEOF());
    rs.MoveFirst();
    EXPECT_TRUE(rs.IsEOF());
}
