#include "scrape/rulesdocumentcheck.h"

#include "platform/regularexpression.h"
#include "scrape/zestoscrapesetting.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("RulesDocumentCheck", text);
}

// One piece of a pattern: a character it matches literally, or anything else (a class, an
// anchor, a wildcard, a bracket).
struct Token
{
    enum Kind { Literal, Wildcard, Other, Open, Close, Quantifier };
    Kind kind = Other;
    QChar literal;
    bool optional = false; // a quantifier that allows zero repetitions
    bool dropped = false;
};

// Consumes a quantifier's lazy or possessive suffix.
void skipSuffix(const QString &p, qsizetype &i)
{
    if (i < p.size() && (p.at(i) == u'?' || p.at(i) == u'+'))
        ++i;
}

QList<Token> tokenize(const QString &p)
{
    QList<Token> tokens;
    qsizetype i = 0;
    while (i < p.size()) {
        const QChar c = p.at(i);
        Token token;
        if (c == u'\\' && i + 1 < p.size()) {
            const QChar next = p.at(i + 1);
            i += 2;
            if (next.isLetterOrNumber()) {
                if ((next == u'p' || next == u'P' || next == u'x' || next == u'N') && i < p.size()
                    && p.at(i) == u'{') {
                    while (i < p.size() && p.at(i) != u'}')
                        ++i;
                    ++i;
                } else if (next == u'Q') {
                    // Quoted text is literal up to \E.
                    const qsizetype end = p.indexOf(u"\\E"_s, i);
                    const qsizetype stop = end < 0 ? p.size() : end;
                    for (; i < stop; ++i)
                        tokens.append({ Token::Literal, p.at(i).toLower() });
                    i = end < 0 ? p.size() : end + 2;
                    continue;
                }
                token.kind = Token::Other;
            } else {
                token = { Token::Literal, next };
            }
        } else if (c == u'[') {
            int depth = 0;
            do {
                if (p.at(i) == u'\\')
                    ++i;
                else if (p.at(i) == u'[')
                    ++depth;
                else if (p.at(i) == u']' && !(i > 0 && p.at(i - 1) == u'[')
                         && !(i > 1 && p.at(i - 1) == u'^' && p.at(i - 2) == u'['))
                    --depth;
                ++i;
            } while (i < p.size() && depth > 0);
            token.kind = Token::Other;
        } else if (c == u'(') {
            ++i;
            if (i < p.size() && p.at(i) == u'?') {
                ++i;
                while (i < p.size() && (p.at(i).isLetter() || p.at(i) == u'-'))
                    ++i;
                if (i < p.size() && p.at(i) == u')') {
                    ++i; // an inline flag
                    continue;
                }
                while (i < p.size() && QStringView(u":=!<>").contains(p.at(i)))
                    ++i;
            }
            token.kind = Token::Open;
        } else if (c == u')') {
            ++i;
            token.kind = Token::Close;
        } else if (c == u'?' || c == u'*' || c == u'+') {
            ++i;
            skipSuffix(p, i);
            token.kind = Token::Quantifier;
            token.optional = c != u'+';
        } else if (c == u'{') {
            static const QRegularExpression repeat(u"\\G\\{\\s*(\\d*)\\s*(?:,\\s*\\d*\\s*)?\\}"_s);
            const QRegularExpressionMatch match = repeat.match(p, i);
            if (match.hasMatch()) {
                i += match.capturedLength();
                skipSuffix(p, i);
                token.kind = Token::Quantifier;
                token.optional = match.captured(1).isEmpty() || match.captured(1).toInt() == 0;
            } else {
                ++i;
                token = { Token::Literal, c };
            }
        } else if (c == u'.') {
            ++i;
            token.kind = Token::Wildcard;
        } else if (c == u'|' || c == u'^' || c == u'$') {
            ++i;
            token.kind = Token::Other;
        } else {
            ++i;
            token = { Token::Literal, c.toLower() };
        }
        tokens.append(token);
    }
    return tokens;
}

// Marks what a pattern may leave out: whatever an optional quantifier follows, a bracketed
// group as a whole. A wildcard repeated at least once stands for any text, never for a dot.
void dropOptional(QList<Token> &tokens)
{
    for (qsizetype i = 1; i < tokens.size(); ++i) {
        if (tokens.at(i).kind != Token::Quantifier)
            continue;
        qsizetype first = i - 1;
        if (tokens.at(first).kind == Token::Close) {
            for (int depth = 0; first >= 0; --first) {
                if (tokens.at(first).kind == Token::Close)
                    ++depth;
                else if (tokens.at(first).kind == Token::Open && --depth == 0)
                    break;
            }
            first = std::max<qsizetype>(first, 0);
        }
        if (tokens.at(i).optional) {
            for (qsizetype k = first; k < i; ++k)
                tokens[k].dropped = true;
        } else if (tokens.at(i - 1).kind == Token::Wildcard) {
            tokens[i - 1].kind = Token::Other;
        }
    }
}

bool isLiteral(const Token &token, char16_t c)
{
    return token.kind == Token::Literal && token.literal == QChar(c);
}

// The text of the part of the pattern that stands for the host, with everything that is not a
// literal character (or a lone wildcard, as in "site.example") as a space. afterScheme tells
// whether the pattern names a scheme before it.
QString hostPart(const QString &pattern, bool *afterScheme)
{
    QList<Token> tokens = tokenize(pattern);
    dropOptional(tokens);
    tokens.removeIf(
        [](const Token &token) { return token.dropped || token.kind == Token::Quantifier; });
    qsizetype start = 0;
    for (qsizetype i = 0; i + 2 < tokens.size(); ++i) {
        if (isLiteral(tokens.at(i), u':') && isLiteral(tokens.at(i + 1), u'/')
            && isLiteral(tokens.at(i + 2), u'/')) {
            start = i + 3;
            break;
        }
    }
    *afterScheme = start > 0;
    QString text;
    for (qsizetype i = start; i < tokens.size(); ++i) {
        const Token &token = tokens.at(i);
        if (isLiteral(token, u'/'))
            break;
        if (token.kind == Token::Literal)
            text += token.literal;
        else if (token.kind == Token::Wildcard)
            text += u'.';
        else
            text += u' ';
    }
    return text;
}

} // namespace

bool RulesDocumentCheck::namesHost(const QString &pattern)
{
    const RegularExpression expression(pattern);
    if (!expression.isValid())
        return true;
    static const QStringList unrelated{
        u"http://listoro-probe.invalid/"_s,
        u"https://www.listoro-probe.invalid:8443/a/b-1/2.html?q=3&r=4#s"_s,
    };
    for (const QString &address : unrelated) {
        if (expression.hasMatch(address))
            return false;
    }
    bool afterScheme = false;
    const QString host = hostPart(pattern, &afterScheme);
    static const QRegularExpression named(
        u"localhost|[a-z0-9-]+\\.[a-z0-9-]+|(?!www)[a-z0-9-]{4,}\\.|\\[[0-9a-f:.]*:[0-9a-f:.]*\\]"_s);
    static const QRegularExpression bare(u"^[a-z0-9-]+(?::[0-9]+)?$"_s);
    return named.match(host).hasMatch() || (afterScheme && bare.match(host).hasMatch());
}

RulesDocumentCheck::Verdict RulesDocumentCheck::check(const QString &document, Origin origin)
{
    Verdict verdict;
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(document.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !json.isObject()) {
        verdict.refusal = tr("This is not a settings document: %1.")
                              .arg(error.error != QJsonParseError::NoError ? error.errorString()
                                                                           : tr("no JSON object"));
        return verdict;
    }
    const std::optional<double> version = ZestoScrapeSetting::readVersion(document);
    if (!version) {
        verdict.refusal = tr("Its version is not a number.");
        return verdict;
    }
    if (!std::isfinite(*version) || *version < 0 || *version >= versionLimit) {
        verdict.refusal
            = tr("Its version %1 is not a number from 0 to 1000000000.").arg(*version, 0, 'g', 17);
        return verdict;
    }
    verdict.version = *version;
    if (origin == Origin::CommandLine)
        return verdict;
    for (const ZestoScrapeSetting &rules : ZestoScrapeSetting::readSettings(document)) {
        if (!rules.regex().isNull() && !namesHost(rules.regex())) {
            verdict.refusal
                = tr("The address pattern “%1” of “%2” does not name the site it is for: it "
                     "would read every site.")
                      .arg(rules.regex(), rules.displayName());
            return verdict;
        }
    }
    return verdict;
}
