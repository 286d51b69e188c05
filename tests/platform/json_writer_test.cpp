// The JSON of kx700ctl's --json output, read back by a real JSON parser.
#include "platform/json_writer.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <sstream>

namespace kx700 {
namespace {

QJsonDocument Parse(const std::string& text) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << text;
    return doc;
}

TEST(JsonWriter, StringsComeBackAsTheyWereWritten) {
    struct Row {
        std::string text;
        QString expected;
    };
    const std::string controls = std::string("a\0b", 3) + "\x01\x1f\x7f\b\f\n\r\t";
    for (const Row& r : {
             Row{"plain", "plain"},
             Row{"quote \" and backslash \\ and slash /", "quote \" and backslash \\ and slash /"},
             Row{controls, QString::fromUtf8(controls.data(), static_cast<qsizetype>(controls.size()))},
             Row{"默认 射击 影音", QString::fromUtf8("默认 射击 影音")},
             Row{"emoji \xF0\x9F\x96\xB1 and é", QString::fromUtf8("emoji \xF0\x9F\x96\xB1 and é")},
             Row{"line\xE2\x80\xA8sep", QString::fromUtf8("line\xE2\x80\xA8sep")},
             // Bytes that are not UTF-8 become U+FFFD, one each.
             Row{"bad \xFF\xC3 end", QString::fromUtf8("bad \xEF\xBF\xBD\xEF\xBF\xBD end")},
             Row{"overlong \xC0\xAF", QString::fromUtf8("overlong \xEF\xBF\xBD\xEF\xBF\xBD")},
             Row{"surrogate \xED\xA0\x80", QString::fromUtf8("surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD")},
             Row{"cut \xE5\xB0", QString::fromUtf8("cut \xEF\xBF\xBD\xEF\xBF\xBD")},
         }) {
        std::ostringstream out;
        JsonWriter(out).beginObject().key(r.text).value(r.text).endObject();
        const std::string text = out.str();
        for (char c : text) EXPECT_FALSE(c >= 0 && c < 0x20 && c != '\n') << "raw control character in " << text;
        const QJsonObject o = Parse(text).object();
        ASSERT_EQ(o.size(), 1) << text;
        EXPECT_EQ(o.begin().key(), r.expected) << text;
        EXPECT_EQ(o.begin().value().toString(), r.expected) << text;
    }
}

TEST(JsonWriter, NestedValuesKeepTheirShape) {
    std::ostringstream out;
    JsonWriter json(out);
    json.beginObject()
        .key("n")
        .value(std::int64_t{-2147483648LL})
        .key("big")
        .value(std::int64_t{1} << 40)
        .key("size")
        .value(std::size_t{1} << 41)
        .key("on")
        .value(true)
        .key("off")
        .value(false)
        .key("none")
        .null()
        .key("empty object")
        .beginObject()
        .endObject()
        .key("empty array")
        .beginArray()
        .endArray()
        .key("rows")
        .beginArray()
        .beginObject()
        .key("a")
        .value(1)
        .endObject()
        .value("two")
        .beginArray()
        .value(3u)
        .endArray()
        .endArray()
        .endObject();
    const std::string text = out.str();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n') << "the document ends its line";
    const QJsonObject o = Parse(text).object();
    EXPECT_EQ(o["n"].toInteger(), -2147483648LL);
    EXPECT_EQ(o["big"].toInteger(), std::int64_t{1} << 40);
    EXPECT_EQ(o["size"].toInteger(), std::int64_t{1} << 41);
    EXPECT_TRUE(o["on"].toBool());
    EXPECT_TRUE(o["off"].isBool());
    EXPECT_FALSE(o["off"].toBool());
    EXPECT_TRUE(o["none"].isNull());
    EXPECT_TRUE(o["empty object"].toObject().isEmpty());
    EXPECT_TRUE(o["empty array"].toArray().isEmpty());
    const QJsonArray rows = o["rows"].toArray();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].toObject()["a"].toInt(), 1);
    EXPECT_EQ(rows[1].toString(), "two");
    EXPECT_EQ(rows[2].toArray()[0].toInt(), 3);
}

TEST(JsonWriter, ATopLevelArrayOrScalarIsADocumentToo) {
    std::ostringstream array;
    JsonWriter(array).beginArray().value("x").value(2).endArray();
    EXPECT_EQ(Parse(array.str()).array().size(), 2);
    EXPECT_EQ(JsonQuote("\x1b[0m"), "\"\\u001b[0m\"");
}

}  // namespace
}  // namespace kx700
