#include "VCardReader.h"

#include "AddressBookPerson.h"

#include <QMultiHash>
#include <QStringDecoder>
#include <QtDebug>

#include <optional>

namespace {

// One unfolded line of a card: NAME;PARAM=VALUE,...:value, with any group prefix dropped.
struct ContentLine {
    QByteArray name;
    QMultiHash<QByteArray, QByteArray> parameters; // upper-case names
    QByteArray value;

    QList<QByteArray> parameter(const char* key) const { return parameters.values(QByteArray(key)); }

    bool hasParameterValue(const char* key, const char* wanted) const
    {
        for (const QByteArray& value : parameters.values(QByteArray(key))) {
            if (value.compare(wanted, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    }
};

// The position of the colon that ends the name and parameters, skipping quoted parameter values.
qsizetype headerEnd(const QByteArray& line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i;
    }
    return -1;
}

bool isQuotedPrintable(const QByteArray& line)
{
    const qsizetype end = headerEnd(line);
    return end > 0 && line.left(end).toUpper().contains("QUOTED-PRINTABLE");
}

// Physical lines joined into content lines: a line that starts with a space or tab continues the
// one before, and so does the line after a quoted-printable soft break ("=" at the end). Whether a
// line is quoted-printable is read from its first physical line, so long folded values stay linear.
QList<QByteArray> unfoldedLines(const QByteArray& data)
{
    QList<QByteArray> lines;
    bool quotedPrintable = false;
    bool softBreakOpen = false;
    for (QByteArray line : data.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (softBreakOpen) {
            lines.last().append(line);
        } else if (!lines.isEmpty() && (line.startsWith(' ') || line.startsWith('\t'))) {
            lines.last().append(line.constData() + 1, line.size() - 1);
        } else if (!line.isEmpty()) {
            quotedPrintable = isQuotedPrintable(line);
            lines.append(line);
        } else {
            continue;
        }
        softBreakOpen = quotedPrintable && lines.last().endsWith('=');
        if (softBreakOpen)
            lines.last().chop(1);
    }
    return lines;
}

// Splits outside double quotes.
QList<QByteArray> splitUnquoted(const QByteArray& text, char separator)
{
    QList<QByteArray> parts;
    QByteArray current;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == separator && !quoted) {
            parts.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    parts.append(current);
    return parts;
}

bool isEncodingName(const QByteArray& value)
{
    static const QList<QByteArray> names = {"QUOTED-PRINTABLE", "BASE64", "B", "8BIT", "7BIT"};
    return names.contains(value.toUpper());
}

std::optional<ContentLine> parseContentLine(const QByteArray& line)
{
    const qsizetype end = headerEnd(line);
    if (end <= 0)
        return std::nullopt;
    const QList<QByteArray> header = splitUnquoted(line.left(end), ';');
    ContentLine content;
    QByteArray name = header.first().trimmed().toUpper();
    content.name = name.mid(name.lastIndexOf('.') + 1);
    for (qsizetype i = 1; i < header.size(); ++i) {
        const QByteArray& parameter = header[i];
        const qsizetype equals = parameter.indexOf('=');
        // A bare value, as 2.1 writes them: WORK, PREF, QUOTED-PRINTABLE.
        const QByteArray bareKey = isEncodingName(parameter.trimmed()) ? "ENCODING" : "TYPE";
        const QByteArray key = equals < 0 ? bareKey : parameter.left(equals).trimmed().toUpper();
        const QByteArray values = equals < 0 ? parameter : parameter.mid(equals + 1);
        for (const QByteArray& value : values.split(','))
            content.parameters.insert(key, value.trimmed());
    }
    content.value = line.mid(end + 1);
    return content;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray decodeQuotedPrintable(const QByteArray& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int high = text[i] == '=' && i + 2 < text.size() ? hexDigit(text[i + 1]) : -1;
        const int low = high >= 0 ? hexDigit(text[i + 2]) : -1;
        if (low >= 0) {
            bytes.append(char(high * 16 + low));
            i += 2;
        } else {
            bytes.append(text[i]);
        }
    }
    return bytes;
}

// The value as text, after its transfer encoding and character set; none for binary values.
std::optional<QString> decodedValue(const ContentLine& line)
{
    QByteArray bytes = line.value;
    if (line.hasParameterValue("ENCODING", "QUOTED-PRINTABLE"))
        bytes = decodeQuotedPrintable(bytes);
    else if (line.hasParameterValue("ENCODING", "BASE64") || line.hasParameterValue("ENCODING", "B"))
        return std::nullopt;
    const QList<QByteArray> charsets = line.parameter("CHARSET");
    if (!charsets.isEmpty()) {
        QStringDecoder decoder(charsets.first().constData());
        if (decoder.isValid())
            return QString(decoder.decode(bytes));
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return QString::fromUtf8(bytes);
}

QString unescaped(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 == text.size()) {
            result.append(c);
            continue;
        }
        const QChar next = text[++i];
        if (next == u'n' || next == u'N')
            result.append(u'\n');
        else if (next == u',' || next == u';' || next == u'\\' || next == u':')
            result.append(next);
        else
            result.append(c).append(next);
    }
    return result;
}

// Splits at separators that no backslash escapes, leaving escapes in the parts.
QStringList splitUnescaped(const QString& text, QChar separator)
{
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\') {
            ++i;
        } else if (text[i] == separator) {
            parts.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    parts.append(text.mid(start));
    return parts;
}

QStringList splitEscaped(const QString& text, QChar separator)
{
    QStringList parts = splitUnescaped(text, separator);
    for (QString& part : parts)
        part = unescaped(part);
    return parts;
}

QString component(const QStringList& components, int index)
{
    return index < components.size() ? components[index].trimmed() : QString();
}

QStringList typesOf(const ContentLine& line)
{
    QStringList types;
    for (const QByteArray& type : line.parameter("TYPE"))
        types.append(QString::fromLatin1(type).toLower());
    return types;
}

bool isPreferred(const ContentLine& line)
{
    return typesOf(line).contains(QStringLiteral("pref")) || !line.parameter("PREF").isEmpty();
}

QString labelOf(const ContentLine& line, bool phone)
{
    const QStringList types = typesOf(line);
    if (phone) {
        if (types.contains(QStringLiteral("fax")))
            return AddressBookPerson::FaxLabel;
        if (types.contains(QStringLiteral("pager")))
            return AddressBookPerson::PagerLabel;
        if (types.contains(QStringLiteral("main")))
            return AddressBookPerson::MainLabel;
    }
    if (types.contains(QStringLiteral("work")))
        return AddressBookPerson::WorkLabel;
    if (types.contains(QStringLiteral("home")))
        return AddressBookPerson::HomeLabel;
    if (phone && types.contains(QStringLiteral("cell")))
        return AddressBookPerson::MobileLabel;
    return AddressBookPerson::OtherLabel;
}

// Collects the properties of one card.
class CardBuilder
{
public:
    void add(const ContentLine& line)
    {
        const std::optional<QString> value = decodedValue(line);
        if (!value)
            return;
        const QByteArray& name = line.name;
        if (name == "N") {
            // Each name part may list several names, separated by commas.
            const QStringList parts = splitUnescaped(*value, u';');
            _person.setLastName(splitEscaped(component(parts, 0), u',').join(u' '));
            _person.setFirstName(splitEscaped(component(parts, 1), u',').join(u' '));
        } else if (name == "FN") {
            _formattedName = unescaped(*value).trimmed();
        } else if (name == "ORG") {
            _person.setOrganization(component(splitEscaped(*value, u';'), 0));
        } else if (name == "EMAIL") {
            _person.addEmail({labelOf(line, false), unescaped(*value).trimmed(), isPreferred(line)});
        } else if (name == "TEL") {
            QString number = unescaped(*value).trimmed();
            if (number.startsWith(QStringLiteral("tel:"), Qt::CaseInsensitive))
                number.remove(0, 4);
            _person.addPhone({labelOf(line, true), number, isPreferred(line)});
        } else if (name == "ADR") {
            _person.addAddress({labelOf(line, false), postalAddress(splitEscaped(*value, u';')), isPreferred(line)});
        } else if (name == "CATEGORIES") {
            addCategories(*value);
        } else if (name == "KIND" || name == "X-ADDRESSBOOKSERVER-KIND") {
            _isGroup = value->trimmed().compare(QStringLiteral("group"), Qt::CaseInsensitive) == 0;
        }
    }

    bool isPerson() const { return !_isGroup; }

    AddressBookPerson person() const
    {
        AddressBookPerson person = _person;
        // A card without a structured name (allowed in 4.0) is known by its formatted name, unless
        // that only repeats the organization of a company card.
        if (person.firstName().isEmpty() && person.lastName().isEmpty() && _formattedName != person.organization())
            person.setLastName(_formattedName);
        return person;
    }

private:
    static AddressBookPerson::PostalAddress postalAddress(const QStringList& parts)
    {
        // Parts: post office box, extended address, street, city, region, postal code, country.
        QStringList streetLines;
        for (int index : {2, 1}) {
            const QString line = component(parts, index);
            if (!line.isEmpty())
                streetLines.append(line);
        }
        if (streetLines.isEmpty() && !component(parts, 0).isEmpty())
            streetLines.append(component(parts, 0));
        return {streetLines.join(u'\n'), component(parts, 3), component(parts, 4), component(parts, 5),
                component(parts, 6)};
    }

    void addCategories(const QString& value)
    {
        QStringList categories = _person.categories();
        for (const QString& category : splitEscaped(value, u',')) {
            const QString trimmed = category.trimmed();
            if (!trimmed.isEmpty() && !categories.contains(trimmed))
                categories.append(trimmed);
        }
        _person.setCategories(categories);
    }

    AddressBookPerson _person;
    QString _formattedName;
    bool _isGroup = false;
};

bool valueIs(const ContentLine& line, const char* wanted)
{
    return line.value.trimmed().compare(wanted, Qt::CaseInsensitive) == 0;
}

} // namespace

QList<AddressBookPerson> VCardReader::read(const QByteArray& data)
{
    QList<AddressBookPerson> people;
    if (data.size() > maximumDataSize) {
        qWarning("vCard data of %lld bytes refused", static_cast<long long>(data.size()));
        return people;
    }
    std::optional<CardBuilder> card;
    int nesting = 0; // components inside the open card, such as an embedded calendar entry
    for (const QByteArray& text : unfoldedLines(data)) {
        const std::optional<ContentLine> line = parseContentLine(text);
        if (!line)
            continue;
        if (line->name == "BEGIN") {
            if (valueIs(*line, "VCARD")) {
                // A card begun inside another means the first one never ended: it is dropped.
                card.emplace();
                nesting = 0;
            } else if (card) {
                ++nesting;
            }
        } else if (line->name == "END") {
            if (!card)
                continue;
            if (nesting > 0) {
                --nesting;
                continue;
            }
            if (valueIs(*line, "VCARD") && card->isPerson())
                people.append(card->person());
            card.reset();
        } else if (card && nesting == 0) {
            card->add(*line);
        }
    }
    return people;
}
