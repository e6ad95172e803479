#include "reference/criteria.h"
#include "common/ascii.h"

#include <gtest/gtest.h>

using scrivlet::Criteria;
using scrivlet::parseCriteria;

TEST(Criteria, ParsesTheFormsTheProgramBuilds)
{
    struct Case {
        const char* text;
        Criteria::Kind kind;
        const char* field;
        const char* pattern;
        std::int64_t number;
    };
    const Case cases[] = {
        {"name LIKE 'DU%'", Criteria::Kind::Prefix, "name", "DU", 0},
        {"name like 'du%'", Criteria::Kind::Prefix, "name", "du", 0},
        {"name LIKE '*A%'", Criteria::Kind::Prefix, "name", "*A", 0},
        {"name LIKE 'a_b%'", Criteria::Kind::Prefix, "name", "a_b", 0},
        {"name LIKE 'DUP'", Criteria::Kind::Equal, "name", "DUP", 0},
        {"  name   LIKE   'x%'  ", Criteria::Kind::Prefix, "name", "x", 0},
        {"id=12", Criteria::Kind::NumberEqual, "id", "", 12},
        {"id = -3", Criteria::Kind::NumberEqual, "id", "", -3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = parseCriteria(c.text);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->kind, c.kind);
        EXPECT_EQ(parsed->field, c.field);
        EXPECT_EQ(parsed->text, c.pattern);
        EXPECT_EQ(parsed->number, c.number);
    }
}

TEST(Criteria, RejectsWhatItCannotMeanSafely)
{
    for (const char* text : {"", "id=", "id=12x", "id=1;DROP TABLE entries", "name LIKE 'a'b%'",
                             "name LIKE 'a%b%'", "name LIKE DU%", "nameLIKE 'DU%'",
                             "na me LIKE 'x%'", "name LIKE 'x%"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseCriteria(text));
    }
}

TEST(Criteria, NoCaseComparisonFoldsAsciiLettersOnly)
{
    EXPECT_TRUE(scrivlet::startsWithNoCase("DUPDUP", "dup"));
    EXPECT_TRUE(scrivlet::startsWithNoCase("x", ""));
    EXPECT_FALSE(scrivlet::startsWithNoCase("DU", "DUP"));
    EXPECT_FALSE(scrivlet::startsWithNoCase("[", "{")); // '[' and '{' differ by 0x20 but are no letters
    EXPECT_TRUE(scrivlet::equalsNoCase("Swap", "sWAP"));
}
