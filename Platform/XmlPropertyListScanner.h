#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

// A quick pass over an XML property list before libplist parses it. It follows libplist's own
// reading of the markup and refuses what libplist would handle badly: nesting deep enough to
// overflow its stack, dictionaries so large that building them turns quadratic, integers it would
// read as octal or wrap, reals and dates it would read wrongly or convert out of range, and
// truncated text. It also finds texts with long runs of character references, which libplist
// decodes in quadratic time, so that they can be split into short parts first.
class XmlPropertyListScanner
{
public:
    // More keys than this in one dictionary are refused.
    static constexpr int MaximumDictionaryKeys = 65536;

    explicit XmlPropertyListScanner(QByteArrayView xml);

    // False, with error() set, when the text must not go to libplist.
    bool scan();
    QString error() const { return m_error; }

    // After a successful scan: whether to give libplist textWithSplits() instead of the original.
    bool needsSplits() const { return !m_splits.empty(); }
    QByteArray textWithSplits() const;

private:
    enum class Element { Plist, Dictionary, Array, Key, String, Data, True, False, Integer, Real, Date, Unknown };
    struct Container
    {
        Element element;
        int keys;
    };
    struct Tag
    {
        QByteArrayView name;
        bool closing;
        bool empty;
    };

    bool scanMarkup();
    bool readTag(Tag& tag);
    bool openElement(Element element, bool empty);
    bool closeElement(Element element);
    bool scanTextParts(Element element, QByteArrayView name);
    bool scanNumberOrDate(Element element, QByteArrayView name);
    bool readClosingTag(QByteArrayView name);
    void noteCharacterReferences(const char* begin, const char* end);

    bool skipPast(QByteArrayView terminator, bool skipQuoted);
    bool skipDoctype();
    bool skipQuotedUntil(char first, char second);
    const char* find(QByteArrayView needle, bool skipQuoted) const;
    static Element elementNamed(QByteArrayView name);
    static const char* invalidValueMessage(Element element);

    bool fail(const char* message);
    bool failAtEnd();

    QByteArrayView m_xml;
    const char* m_position;
    const char* m_end;
    std::vector<Container> m_open; // dictionaries and arrays
    int m_openPlists = 0;
    std::vector<qsizetype> m_splits;
    QString m_error;
};
