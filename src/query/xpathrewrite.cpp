#include "query/xpathrewrite.h"

#include <QList>

#include <array>
#include <string_view>

namespace {

enum class Kind { Name, Number, Literal, Symbol };

struct Token
{
    Kind kind;
    std::string_view text;
    qsizetype offset;
};

bool isNameStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'
        || static_cast<unsigned char>(c) >= 0x80;
}

bool isNameChar(char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The expression's tokens, or nothing when a literal is left open (libxml2 reports that).
std::optional<QList<Token>> tokenize(std::string_view text)
{
    static constexpr std::array<std::string_view, 6> pairs{ "//", "!=", "<=", ">=", "::", ".." };
    QList<Token> tokens;
    qsizetype i = 0;
    const auto size = qsizetype(text.size());
    while (i < size) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            ++i;
            continue;
        }
        const qsizetype start = i;
        if (c == '"' || c == '\'') {
            const size_t end = text.find(c, i + 1);
            if (end == std::string_view::npos)
                return std::nullopt;
            i = qsizetype(end) + 1;
            tokens.append({ Kind::Literal, text.substr(start, i - start), start });
        } else if (isDigit(c) || (c == '.' && i + 1 < size && isDigit(text[i + 1]))) {
            while (i < size && (isDigit(text[i]) || text[i] == '.'))
                ++i;
            tokens.append({ Kind::Number, text.substr(start, i - start), start });
        } else if (isNameStart(c)) {
            // A name's ":" belongs to it only as a prefix separator, never as an axis's "::".
            while (i < size && isNameChar(text[i])
                   && !(text[i] == ':' && i + 1 < size && text[i + 1] == ':'))
                ++i;
            tokens.append({ Kind::Name, text.substr(start, i - start), start });
        } else {
            const std::string_view two = text.substr(i, 2);
            bool paired = false;
            for (std::string_view pair : pairs)
                paired = paired || two == pair;
            i += paired ? 2 : 1;
            tokens.append({ Kind::Symbol, text.substr(start, i - start), start });
        }
    }
    return tokens;
}

bool isSymbol(const Token &token, std::string_view symbol)
{
    return token.kind == Kind::Symbol && token.text == symbol;
}

bool isCall(const QList<Token> &tokens, qsizetype i)
{
    return tokens.at(i).kind == Kind::Name && i + 1 < tokens.size()
        && isSymbol(tokens.at(i + 1), "(");
}

// Functions whose value, as a predicate, is a truth or a string or node set (so not a position).
bool isNonNumericFunction(std::string_view name)
{
    static constexpr std::array<std::string_view, 21> names{ "not",
                                                             "boolean",
                                                             "true",
                                                             "false",
                                                             "contains",
                                                             "starts-with",
                                                             "lang",
                                                             "normalize-space",
                                                             "string",
                                                             "concat",
                                                             "substring",
                                                             "substring-before",
                                                             "substring-after",
                                                             "translate",
                                                             "name",
                                                             "local-name",
                                                             "namespace-uri",
                                                             "text",
                                                             "node",
                                                             "comment",
                                                             "id" };
    for (std::string_view known : names) {
        if (name == known)
            return true;
    }
    return false;
}

// True when the predicate tokens [begin, end) select by a truth about the node alone: never by
// its position (a number, position(), last()) at the predicate's own level.
bool isPositionFree(const QList<Token> &tokens, qsizetype begin, qsizetype end)
{
    int brackets = 0;
    int parentheses = 0;
    bool comparison = false;
    bool arithmetic = false;
    for (qsizetype i = begin; i < end; ++i) {
        const Token &token = tokens.at(i);
        if (isSymbol(token, "["))
            ++brackets;
        else if (isSymbol(token, "]"))
            --brackets;
        else if (isSymbol(token, "("))
            ++parentheses;
        else if (isSymbol(token, ")"))
            --parentheses;
        if (brackets > 0)
            continue;
        if (token.kind == Kind::Name && (token.text == "position" || token.text == "last")
            && isCall(tokens, i))
            return false;
        if (parentheses > 0)
            continue;
        if (token.kind == Kind::Symbol
            && (token.text == "=" || token.text == "!=" || token.text == "<" || token.text == "<="
                || token.text == ">" || token.text == ">="))
            comparison = true;
        if (token.kind == Kind::Name && (token.text == "and" || token.text == "or") && i > begin)
            comparison = true;
        if (token.kind == Kind::Name && (token.text == "div" || token.text == "mod"))
            arithmetic = true;
        if (token.kind == Kind::Symbol && (token.text == "+" || token.text == "-"))
            arithmetic = true;
        if (isSymbol(token, "*") && i > begin) {
            const Token &before = tokens.at(i - 1);
            if (before.kind != Kind::Symbol || isSymbol(before, ")") || isSymbol(before, "]")
                || isSymbol(before, ".") || isSymbol(before, "..") || isSymbol(before, "*"))
                arithmetic = true;
        }
    }
    if (comparison)
        return true;
    if (arithmetic || begin == end)
        return false;
    const Token &first = tokens.at(begin);
    if (first.kind == Kind::Number || isSymbol(first, "$") || isSymbol(first, "("))
        return false;
    if (isCall(tokens, begin))
        return isNonNumericFunction(first.text);
    return true;
}

// The index just past the "]" that closes the "[" at open, or -1.
qsizetype closing(const QList<Token> &tokens, qsizetype open)
{
    int depth = 0;
    for (qsizetype i = open; i < tokens.size(); ++i) {
        if (isSymbol(tokens.at(i), "["))
            ++depth;
        else if (isSymbol(tokens.at(i), "]") && --depth == 0)
            return i + 1;
    }
    return -1;
}

// True when the "//" at index i is followed by an element name test with predicates, each of
// them position-free.
bool rewritable(const QList<Token> &tokens, qsizetype i)
{
    qsizetype step = i + 1;
    if (step >= tokens.size())
        return false;
    const Token &test = tokens.at(step);
    const bool nameTest
        = (test.kind == Kind::Name && !test.text.ends_with(':') && !isCall(tokens, step)
           && !(step + 1 < tokens.size() && isSymbol(tokens.at(step + 1), "::")))
        || isSymbol(test, "*");
    if (!nameTest)
        return false;
    qsizetype next = step + 1;
    if (next >= tokens.size() || !isSymbol(tokens.at(next), "["))
        return false;
    while (next < tokens.size() && isSymbol(tokens.at(next), "[")) {
        const qsizetype end = closing(tokens, next);
        if (end < 0 || !isPositionFree(tokens, next + 1, end - 1))
            return false;
        next = end;
    }
    return true;
}

} // namespace

QByteArray XPathRewrite::withDescendantSteps(const QByteArray &expression)
{
    const std::string_view text(expression.constData(), size_t(expression.size()));
    const std::optional<QList<Token>> tokens = tokenize(text);
    if (!tokens)
        return expression;
    QByteArray rewritten;
    qsizetype copied = 0;
    for (qsizetype i = 0; i < tokens->size(); ++i) {
        if (!isSymbol(tokens->at(i), "//") || !rewritable(*tokens, i))
            continue;
        const qsizetype at = tokens->at(i).offset;
        rewritten.append(expression.mid(copied, at - copied));
        rewritten.append("/descendant::");
        copied = at + 2;
    }
    if (copied == 0)
        return expression;
    rewritten.append(expression.mid(copied));
    return rewritten;
}
