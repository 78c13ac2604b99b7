// The XML reader of the title compiler: what it reports for well-formed
// input, and the error and line it reports for input that is not.
#include "xml_reader.h"

#include <QTest>

using folium::mktitle::XmlReader;

namespace {

// Every token as text: "<a x=1>", "</a>", "'text'".
QStringList tokens(const QByteArray &xml, QString *error = nullptr, qint64 *line = nullptr)
{
    XmlReader r(xml);
    QStringList out;
    while (!r.atEnd()) {
        switch (r.readNext()) {
        case XmlReader::StartElement: {
            QString s = u'<' + r.name().toString();
            for (const auto &a : r.attributes())
                s += u' ' + a.name().toString() + u'=' + a.value().toString();
            out << s + u'>';
            break;
        }
        case XmlReader::EndElement: out << QStringLiteral("</") + r.name().toString() + u'>'; break;
        case XmlReader::Characters: out << u'\'' + r.text().toString() + u'\''; break;
        default: break;
        }
    }
    if (error)
        *error = r.errorString();
    if (line)
        *line = r.lineNumber();
    return out;
}

} // namespace

class TestXmlReader : public QObject {
    Q_OBJECT

private slots:
    void readsWellFormedDocuments()
    {
        QString error;
        const QByteArray doc = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- a comment -->\n"
                               "<r a=\"1\" b='&lt;&#233;&#x153;'>x &amp; y<e/><![CDATA[<raw>]]>\u00e8</r>\n";
        QCOMPARE(tokens(doc, &error),
                 (QStringList{"<r a=1 b=<\u00e9\u0153>", "'x & y'", "<e>", "</e>", "'<raw>'", "'\u00e8'", "</r>"}));
        QVERIFY(error.isEmpty());
    }

    // Sources written on Windows: CR LF and a lone CR read as LF in text and
    // CDATA; in attribute values tabs and line ends read as spaces; a
    // character reference keeps the character it names.
    void lineEndsAreNormalised()
    {
        const QByteArray doc =
            "<r a=\"x\r\ny\tz\" b=\"&#13;&#10;\">l1\r\nl2\rl3 &amp;\r\n<![CDATA[c1\r\nc2]]>&#13;</r>\r\n";
        QString error;
        QCOMPARE(tokens(doc, &error),
                 (QStringList{"<r a=x y z b=\r\n>", "'l1\nl2\nl3 &\n'", "'c1\nc2'", "'\r'", "</r>"}));
        QVERIFY(error.isEmpty());
    }

    // Sources written by other tools: the title's own elements may be in no
    // namespace or in the title-source namespace, under any prefix; elements
    // of other namespaces are passed over with what they hold, and so are
    // attributes of other namespaces.
    void namespacesAreResolved()
    {
        QString error;
        const QByteArray doc = "<t:title xmlns:t=\"urn:folium:title-source\" xmlns:x=\"urn:other\" x:id=\"1\" "
                               "t:name=\"n\" plain=\"p\" xml:lang=\"it\">"
                               "<x:meta><t:topic/>hidden<x:deeper/></x:meta>"
                               "<topic><t:sr>a<y:b xmlns:y=\"urn:other\"/>b</t:sr></topic></t:title>";
        QCOMPARE(tokens(doc, &error), (QStringList{"<title name=n plain=p>", "<topic>", "<sr>", "'a'", "'b'", "</sr>",
                                                   "</topic>", "</title>"}));
        QVERIFY(error.isEmpty());
        // The title-source namespace as the default one.
        QCOMPARE(tokens("<title xmlns=\"urn:folium:title-source\"><topic/></title>", &error),
                 (QStringList{"<title>", "<topic>", "</topic>", "</title>"}));
        QVERIFY(error.isEmpty());
        // Another default namespace makes the elements foreign, down to
        // where it is undeclared again.
        QCOMPARE(tokens("<r><h xmlns=\"urn:other\"><p/><q xmlns=\"\"/></h></r>", &error), (QStringList{"<r>", "</r>"}));
        QVERIFY(error.isEmpty());
    }

    void readNextStartElementAndSkip()
    {
        XmlReader r("<r><a><b/>t</a><c x=\"1\"/></r>");
        QVERIFY(r.readNextStartElement());
        QCOMPARE(r.name(), QStringView(u"r"));
        QVERIFY(r.readNextStartElement());
        QCOMPARE(r.name(), QStringView(u"a"));
        r.skipCurrentElement();
        QVERIFY(r.readNextStartElement());
        QCOMPARE(r.name(), QStringView(u"c"));
        QCOMPARE(r.attributes().value(QLatin1String("x")), QStringView(u"1"));
        QVERIFY(r.attributes().hasAttribute(QLatin1String("x")));
        QVERIFY(!r.attributes().hasAttribute(QLatin1String("y")));
        QVERIFY(!r.readNextStartElement()); // </c>
        QVERIFY(!r.readNextStartElement()); // </r>
        QVERIFY(!r.hasError());
    }

    void linesAreCounted()
    {
        XmlReader r("<r>\n\n<a\n  x=\"1\">\n</a></r>");
        QVERIFY(r.readNextStartElement());
        QCOMPARE(r.lineNumber(), 1);
        QVERIFY(r.readNextStartElement());
        QCOMPARE(r.lineNumber(), 4); // where the start tag ends, as Qt's reader says
    }

    void reportsErrorsWithTheirLine_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<qint64>("line");
        QTest::newRow("mismatched end") << QByteArray("<r>\n<p>x</b>\n</r>") << qint64(2);
        QTest::newRow("unterminated comment") << QByteArray("<r>\n<!-- x") << qint64(2);
        QTest::newRow("undeclared entity") << QByteArray("<r>\n\n&nbsp;</r>") << qint64(1);
        QTest::newRow("unquoted attribute") << QByteArray("<r a=1/>") << qint64(1);
        QTest::newRow("attribute twice") << QByteArray("<r a='1' a='2'/>") << qint64(1);
        QTest::newRow("< in attribute") << QByteArray("<r a='<'/>") << qint64(1);
        QTest::newRow("text after the root") << QByteArray("<r/>\nx") << qint64(2);
        QTest::newRow("second root") << QByteArray("<r/>\n<s/>") << qint64(2);
        QTest::newRow("doctype") << QByteArray("<!DOCTYPE r>\n<r/>") << qint64(1);
        QTest::newRow("premature end") << QByteArray("<r>\n<a>") << qint64(2);
        QTest::newRow("empty document") << QByteArray("") << qint64(1);
        QTest::newRow("bad character reference") << QByteArray("<r>&#0;</r>") << qint64(1);
        QTest::newRow("attributes without blank") << QByteArray("<r a='1'b='2'/>") << qint64(1);
        QTest::newRow("undeclared prefix") << QByteArray("<r>\n<p:x/></r>") << qint64(2);
        QTest::newRow("prefix out of scope") << QByteArray("<r><a xmlns:p='urn:x'/>\n\n<b p:c='1'/></r>") << qint64(3);
        QTest::newRow("prefix declared empty") << QByteArray("<r xmlns:p=''/>") << qint64(1);
        // What is not UTF-8, or not a character XML allows, anywhere.
        QTest::newRow("a stray byte in text") << QByteArray("<r>\n\ncaf\xe9</r>") << qint64(3);
        QTest::newRow("a truncated sequence at the end") << QByteArray("<r>x</r>\n\xc3") << qint64(2);
        QTest::newRow("an overlong slash") << QByteArray("<r a='\xc0\xaf'/>") << qint64(1);
        QTest::newRow("an overlong in three bytes") << QByteArray("<r>\xe0\x80\xaf</r>") << qint64(1);
        QTest::newRow("a surrogate") << QByteArray("<r>\n\xed\xa0\x80</r>") << qint64(2);
        QTest::newRow("past U+10FFFF") << QByteArray("<r>\xf4\x90\x80\x80</r>") << qint64(1);
        QTest::newRow("a control character") << QByteArray("<r>\n\n\n\x01</r>") << qint64(4);
        QTest::newRow("in a name") << QByteArray("<r><a\xff/></r>") << qint64(1);
    }

    // Every kind of UTF-8 that is right passes, in text, names and values,
    // and the same text comes out.
    void readsAnyRightUtf8()
    {
        const QByteArray xml("<r \xc3\xa9t\xc3\xa9='\xe2\x82\xac'>\t caf\xc3\xa9 \xe4\xb8\xad \xf0\x9f\x93\x9c "
                             "\xef\xbf\xbd\r\n</r>");
        XmlReader r(xml);
        QVERIFY(r.readNextStartElement());
        QCOMPARE(r.attributes().at(0).name().toString(), QStringLiteral("\u00e9t\u00e9"));
        QCOMPARE(r.attributes().at(0).value().toString(), QStringLiteral("\u20ac"));
        QCOMPARE(r.readNext(), XmlReader::Characters);
        QVERIFY(r.text().contains(QStringLiteral("caf\u00e9 \u4e2d \U0001F4DC \ufffd")));
        QVERIFY(!r.hasError());
    }

    void reportsErrorsWithTheirLine()
    {
        QFETCH(QByteArray, xml);
        QFETCH(qint64, line);
        QString error;
        qint64 at = 0;
        tokens(xml, &error, &at);
        QVERIFY2(!error.isEmpty(), xml.constData());
        QCOMPARE(at, line);
    }
};

QTEST_MAIN(TestXmlReader)
#include "tst_xmlreader.moc"
