#include "data0_reader.h"

#include "global.h"
#include "return_codes.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

using sv = std::string_view;

// A grid point without data is written as this text. Genuine values above 500 exist,
// so the marker is recognised by its text, never by its value.
constexpr sv noDataMarker = "500.0000";

// Name problems found after reading are listed up to this number.
constexpr int maxProblems = 20;

// Sections of a 1996 data0 file, in the order they must appear.
enum section {
    sec_misc,
    sec_bdotParams,
    sec_elements,
    sec_basis,
    sec_aux,
    sec_aqueous,
    sec_solids,
    sec_liquids,
    sec_gases,
    sec_solidSolutions,
    sec_references,
    sec_count
};

const char *const sectionTitles[sec_count] = {
    "Miscellaneous parameters",
    "bdot parameters",
    "elements",
    "basis species",
    "auxiliary basis species",
    "aqueous species",
    "solids",
    "liquids",
    "gases",
    "solid solutions",
    "references",
};

int kindOfSection(int sec)
{
    switch (sec) {
    case sec_basis:
        return d0_basis;
    case sec_aux:
        return d0_aux;
    case sec_aqueous:
        return d0_aqueous;
    case sec_solids:
        return d0_solid;
    case sec_liquids:
        return d0_liquid;
    default:
        return d0_gas;
    }
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

sv trimmed(sv s)
{
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

bool startsWith(sv s, sv prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

// Splits at blanks; `words` is reused to spare allocations.
void split(sv s, std::vector<sv> *words)
{
    words->clear();
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && isSpace(s[i]))
            ++i;
        size_t start = i;
        while (i < s.size() && !isSpace(s[i]))
            ++i;
        if (i > start)
            words->push_back(s.substr(start, i - start));
    }
}

bool toDouble(sv s, double *value)
{
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty())
        return false;
    const auto result = std::from_chars(s.data(), s.data() + s.size(), *value);
    // "nan" and "inf" parse, but no quantity of the file may take them.
    return result.ec == std::errc() && result.ptr == s.data() + s.size() && std::isfinite(*value);
}

bool toInt(sv s, int *value)
{
    if (s.empty())
        return false;
    const auto result = std::from_chars(s.data(), s.data() + s.size(), *value);
    return result.ec == std::errc() && result.ptr == s.data() + s.size();
}

QString qs(sv s)
{
    return QString::fromUtf8(s.data(), int(s.size()));
}

// The text after the first '=' of a "key = value" line.
sv valueOf(sv line)
{
    const size_t eq = line.find('=');
    return eq == sv::npos ? sv() : trimmed(line.substr(eq + 1));
}

sv firstWord(sv s)
{
    s = trimmed(s);
    size_t end = 0;
    while (end < s.size() && !isSpace(s[end]))
        ++end;
    return s.substr(0, end);
}

bool isSeparator(sv line)
{
    return startsWith(trimmed(line), "+---");
}

struct chunk
{
    int begin = 0; // first line (0-based)
    int end = 0; // one past the last line
};

class parser
{
public:
    parser(const QByteArray &text, const QString &source, data0_file *out, QStringList *messages)
        : source(source)
        , out(out)
        , messages(messages)
    {
        const char *p = text.constData();
        const char *end = p + text.size();
        while (p < end) {
            const char *nl = static_cast<const char *>(memchr(p, '\n', size_t(end - p)));
            const char *stop = nl ? nl : end;
            sv line(p, size_t(stop - p));
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            lines.push_back(line);
            p = nl ? nl + 1 : end;
        }
    }

    bool run()
    {
        if (!readHeader())
            return false;
        std::vector<chunk> chunks;
        int begin = headerEnd;
        for (int i = headerEnd; i < int(lines.size()); ++i) {
            if (isSeparator(lines[i])) {
                chunks.push_back({begin, i});
                begin = i + 1;
            }
        }
        chunks.push_back({begin, int(lines.size())});

        int expected = 0;
        int current = -1;
        bool stopSeen = false;
        for (chunk c : chunks) {
            while (c.begin < c.end && trimmed(lines[c.begin]).empty())
                ++c.begin;
            while (c.end > c.begin && trimmed(lines[c.end - 1]).empty())
                --c.end;
            if (c.begin == c.end)
                continue;
            if (c.end - c.begin == 1 && current != sec_references) {
                const int title = sectionOf(trimmed(lines[c.begin]));
                if (title >= 0) {
                    if (title != expected)
                        return fail(c.begin,
                                    QStringLiteral("section \"%1\" found where \"%2\" "
                                                   "was expected")
                                        .arg(sectionTitles[title], sectionTitles[expected]));
                    current = expected++;
                    continue;
                }
            }
            bool ok = true;
            switch (current) {
            case -1:
                return fail(c.begin,
                            QStringLiteral("section \"%1\" expected").arg(sectionTitles[sec_misc]));
            case sec_misc:
                ok = readMisc(c);
                break;
            case sec_bdotParams:
                ok = readBdotParams(c);
                break;
            case sec_elements:
                ok = readElements(c);
                break;
            case sec_solidSolutions:
                ++out->nSolidSolutions;
                break;
            case sec_references:
                for (int i = c.begin; i < c.end && !stopSeen; ++i)
                    stopSeen = trimmed(lines[i]) == "stop.";
                break;
            default:
                ok = readSpecies(c, kindOfSection(current));
                break;
            }
            if (!ok)
                return false;
        }
        const int last = int(lines.size()) - 1;
        if (expected < sec_count)
            return fail(last,
                        QStringLiteral("the file ends before section \"%1\" (truncated?)")
                            .arg(sectionTitles[expected]));
        if (!stopSeen)
            return fail(last,
                        QStringLiteral("the file ends without its closing \"stop.\" (truncated?)"));
        return checkMisc() && checkNames();
    }

private:
    const QString source;
    data0_file *const out;
    QStringList *const messages;
    std::vector<sv> lines;
    std::vector<sv> words;
    int headerEnd = 0;
    int miscLine = -1;
    QList<int> miscLabelLines; // label line of each grid, by `grids` index below

    bool fail(int line, const QString &what)
    {
        note(line, what);
        return false;
    }

    void note(int line, const QString &what)
    {
        if (messages)
            messages->append(
                QStringLiteral("%1, line %2: %3").arg(source, QString::number(line + 1), what));
    }

    static int sectionOf(sv text)
    {
        for (int s = 0; s < sec_count; ++s)
            if (text == sectionTitles[s])
                return s;
        return -1;
    }

    bool readHeader()
    {
        static const QRegularExpression tag(QStringLiteral("^data0\\.(\\w+)\\.V8\\.R6$"),
                                            QRegularExpression::CaseInsensitiveOption);
        const QString first = lines.empty() ? QString() : qs(trimmed(lines[0]));
        const QRegularExpressionMatch m = tag.match(first);
        if (!m.hasMatch())
            return fail(0,
                        QStringLiteral("not an EQ3/6 data0 file of the 1996 format "
                                       "(first line \"%1\", expected \"data0.com.V8.R6\")")
                            .arg(first.left(60)));
        out->header = first;
        out->format = QStringLiteral("DATA.%1.V8.R6").arg(m.captured(1).toUpper());
        int i = 1;
        for (; i < int(lines.size()) && !isSeparator(lines[i]); ++i)
            if (!trimmed(lines[i]).empty())
                out->description.append(qs(trimmed(lines[i])));
        if (i == int(lines.size()))
            return fail(i - 1, QStringLiteral("the file ends after its header (truncated?)"));
        headerEnd = i;
        return true;
    }

    // Grids of the miscellaneous parameters: label prefix, target, required size (-1 any).
    struct grid
    {
        const char *label;
        QList<double> data0_file::*list;
        int size;
    };
    static const grid *grids(int *n)
    {
        static const grid g[] = {
            {"Temperature limits", &data0_file::tempLimits, 2},
            {"temperatures", &data0_file::temperatures, data0_gridSize},
            {"pressures", &data0_file::pressures, data0_gridSize},
            {"debye huckel a", &data0_file::adh, data0_gridSize},
            {"debye huckel b", &data0_file::bdh, data0_gridSize},
            {"bdot", &data0_file::bdot, data0_gridSize},
            {"cco2", &data0_file::cco2, -1},
            {"log k for eh reaction", &data0_file::ehLogK, data0_gridSize},
        };
        *n = int(sizeof(g) / sizeof(g[0]));
        return g;
    }

    bool readMisc(const chunk &c)
    {
        int n = 0;
        const grid *g = grids(&n);
        miscLine = c.begin;
        miscLabelLines = QList<int>(n, -1);
        QList<double> *target = nullptr;
        for (int i = c.begin; i < c.end; ++i) {
            split(lines[i], &words);
            if (words.empty())
                continue;
            double value = 0.0;
            if (!toDouble(words[0], &value)) {
                target = nullptr;
                const sv label = trimmed(lines[i]);
                for (int k = 0; k < n; ++k) {
                    if (startsWith(label, g[k].label)) {
                        target = &(out->*(g[k].list));
                        target->clear();
                        miscLabelLines[k] = i;
                        break;
                    }
                }
                continue;
            }
            for (sv w : words) {
                if (!toDouble(w, &value))
                    return fail(i, QStringLiteral("\"%1\" is not a number").arg(qs(w)));
                if (target)
                    target->append(value);
            }
        }
        return true;
    }

    bool checkMisc()
    {
        int n = 0;
        const grid *g = grids(&n);
        if (miscLine < 0)
            return fail(headerEnd, QStringLiteral("the miscellaneous parameters are missing"));
        for (int k = 0; k < n; ++k) {
            if (miscLabelLines[k] < 0)
                return fail(
                    miscLine,
                    QStringLiteral("the miscellaneous parameters lack \"%1\"").arg(g[k].label));
            const int size = int((out->*(g[k].list)).size());
            if (g[k].size >= 0 && size != g[k].size)
                return fail(miscLabelLines[k],
                            QStringLiteral("\"%1\" holds %2 values, %3 expected")
                                .arg(g[k].label)
                                .arg(size)
                                .arg(g[k].size));
        }
        for (int k = 1; k < out->temperatures.size(); ++k)
            if (!(out->temperatures[k] > out->temperatures[k - 1]))
                return fail(miscLabelLines[1],
                            QStringLiteral("the temperature grid does not increase"));
        return true;
    }

    bool readBdotParams(const chunk &c)
    {
        for (int i = c.begin; i < c.end; ++i) {
            const sv t = trimmed(lines[i]);
            if (t.empty() || t.front() == '*')
                continue;
            split(t, &words);
            data0_bdotParam p;
            if (words.size() != 3 || !toDouble(words[1], &p.azero) || !toInt(words[2], &p.ionType))
                return fail(i,
                            QStringLiteral("a bdot parameter line needs a species name, an "
                                           "ion size and a type"));
            p.name = qs(words[0]);
            out->bdotParams.append(p);
        }
        return true;
    }

    bool readElements(const chunk &c)
    {
        for (int i = c.begin; i < c.end; ++i) {
            split(lines[i], &words);
            if (words.empty())
                continue;
            data0_element e;
            if (words.size() != 2 || !toDouble(words[1], &e.mol_wt))
                return fail(i,
                            QStringLiteral("an element line needs a symbol and an atomic "
                                           "weight"));
            e.name = qs(words[0]);
            out->elements.append(e);
        }
        return true;
    }

    // Reads "coefficient name" pairs from the lines after the count line `at` into `list`.
    bool readEntries(const chunk &c, int at, int count, const data0_species &sp, bool reaction,
                     QList<data0_entry> *list, int *next)
    {
        const auto what = [&sp, reaction] {
            return (reaction ? QStringLiteral("the reaction of \"%1\"")
                             : QStringLiteral("the elements of \"%1\""))
                .arg(sp.name);
        };
        int i = at + 1;
        for (; i < c.end; ++i) {
            const sv t = trimmed(lines[i]);
            if (t.empty() || t.front() == '*')
                break;
            split(t, &words);
            if (words.size() % 2 != 0)
                return fail(i,
                            QStringLiteral("entries of %1 must come in pairs of coefficient "
                                           "and name")
                                .arg(what()));
            for (size_t w = 0; w < words.size(); w += 2) {
                data0_entry e;
                if (!toDouble(words[w], &e.stoich))
                    return fail(i, QStringLiteral("\"%1\" is not a number").arg(qs(words[w])));
                e.name = qs(words[w + 1]);
                e.line = i + 1;
                list->append(e);
            }
        }
        if (list->size() != count)
            return fail(at,
                        QStringLiteral("the count line says %1 for %2, but %3 are listed")
                            .arg(count)
                            .arg(what())
                            .arg(list->size()));
        *next = i;
        return true;
    }

    bool readGrid(const chunk &c, int at, data0_species *sp, int *next)
    {
        int n = 0;
        int i = at + 1;
        for (; i < c.end; ++i) {
            const sv t = trimmed(lines[i]);
            if (t.empty() || t.front() == '*')
                break;
            split(t, &words);
            for (sv w : words) {
                double value = 0.0;
                if (!toDouble(w, &value))
                    return fail(i, QStringLiteral("\"%1\" is not a number").arg(qs(w)));
                if (n < data0_gridSize) {
                    sp->logK[n] = value;
                    sp->valid[n] = w != noDataMarker;
                }
                ++n;
            }
        }
        if (n != data0_gridSize)
            return fail(at,
                        QStringLiteral("the log K grid of \"%1\" holds %2 values, %3 expected")
                            .arg(sp->name)
                            .arg(n)
                            .arg(data0_gridSize));
        bool any = false;
        for (bool v : sp->valid)
            any = any || v;
        if (!any)
            return fail(at,
                        QStringLiteral("the log K grid of \"%1\" holds no value").arg(sp->name));
        sp->hasGrid = true;
        *next = i;
        return true;
    }

    bool readSpecies(const chunk &c, int kind)
    {
        data0_species sp;
        sp.kind = kind;
        sp.line = c.begin + 1;
        split(lines[c.begin], &words);
        sp.name = qs(words[0]);
        sp.formula = sp.name;
        if (words.size() > 1) {
            const sv rest = trimmed(
                sv(lines[c.begin]).substr(size_t(words[1].data() - lines[c.begin].data())));
            sp.formula = qs(rest);
        }
        bool typed = false;
        bool composed = false;
        bool reacting = false;
        int i = c.begin + 1;
        while (i < c.end) {
            const sv t = trimmed(lines[i]);
            if (startsWith(t, "sp.type")) {
                const sv type = firstWord(valueOf(t));
                if (qs(type) != global().speciesType_toString(kind))
                    return fail(i,
                                QStringLiteral("species \"%1\" of type \"%2\" stands in the "
                                               "section of type \"%3\"")
                                    .arg(sp.name, qs(type), global().speciesType_toString(kind)));
                typed = true;
            } else if (startsWith(t, "revised")) {
                sp.revised = qs(valueOf(t));
            } else if (startsWith(t, "charge")) {
                double z = 0.0;
                // Range first: converting a value beyond int is undefined.
                if (!toDouble(valueOf(t), &z) || std::fabs(z) > 1000.0 || z != std::trunc(z))
                    return fail(
                        i,
                        QStringLiteral("the charge of \"%1\" is not a whole number").arg(sp.name));
                sp.charge = int(z);
            } else if (startsWith(t, "V0PrTr")) {
                if (!toDouble(firstWord(valueOf(t)), &sp.molar_volume))
                    return fail(
                        i,
                        QStringLiteral("the molar volume of \"%1\" is not a number").arg(sp.name));
            } else if (!t.empty() && t.front() == '*') {
                sv body = t;
                while (!body.empty() && body.front() == '*')
                    body.remove_prefix(1);
                body = trimmed(body);
                double *target = startsWith(body, "mol.wt.") ? &sp.mol_wt
                    : startsWith(body, "DHazero")            ? &sp.DHazero
                                                             : nullptr;
                if (target && !toDouble(firstWord(valueOf(body)), target))
                    return fail(i,
                                QStringLiteral("\"%1\" of \"%2\" is not a number")
                                    .arg(qs(firstWord(body)), sp.name));
                if (startsWith(body, "logK grid")) {
                    if (!readGrid(c, i, &sp, &i))
                        return false;
                    continue;
                }
            } else {
                split(t, &words);
                int count = 0;
                if (words.size() >= 2 && toInt(words[0], &count)) {
                    if (words[1] == "element(s):") {
                        if (!readEntries(c, i, count, sp, false, &sp.elements, &i))
                            return false;
                        composed = true;
                        continue;
                    }
                    if (words[1] == "species" && t.find("reaction") != sv::npos) {
                        if (!readEntries(c, i, count, sp, true, &sp.reaction, &i))
                            return false;
                        reacting = true;
                        continue;
                    }
                }
            }
            ++i;
        }
        if (!typed)
            return fail(c.begin, QStringLiteral("species \"%1\" has no sp.type line").arg(sp.name));
        if (!composed)
            return fail(c.begin,
                        QStringLiteral("species \"%1\" has no element composition").arg(sp.name));
        if (kind == d0_basis) {
            // Basis species define the components; the program keeps no reaction for them.
            sp.reaction.clear();
            sp.hasGrid = false;
        } else if (!reacting || sp.reaction.isEmpty()) {
            return fail(c.begin, QStringLiteral("species \"%1\" has no reaction").arg(sp.name));
        } else if (!sp.hasGrid) {
            return fail(c.begin, QStringLiteral("species \"%1\" has no log K grid").arg(sp.name));
        }
        out->species.append(sp);
        return true;
    }

    bool checkNames()
    {
        QSet<QString> elementNames;
        for (const data0_element &e : out->elements)
            elementNames.insert(e.name);
        QSet<QString> speciesNames;
        for (const data0_species &sp : out->species)
            speciesNames.insert(sp.name);
        int problems = 0;
        for (const data0_species &sp : out->species) {
            for (const data0_entry &e : sp.elements)
                if (!elementNames.contains(e.name) && problems++ < maxProblems)
                    note(e.line - 1,
                         QStringLiteral("element \"%1\" of \"%2\" is not defined in the "
                                        "elements section")
                             .arg(e.name, sp.name));
            for (const data0_entry &e : sp.reaction)
                if (!speciesNames.contains(e.name) && problems++ < maxProblems)
                    note(e.line - 1,
                         QStringLiteral("species \"%1\" in the reaction of \"%2\" is "
                                        "not defined")
                             .arg(e.name, sp.name));
        }
        if (problems > maxProblems && messages)
            messages->append(QStringLiteral("%1: %2 more undefined names")
                                 .arg(source, QString::number(problems - maxProblems)));
        return problems == 0;
    }
};

} // namespace

int data0_reader::read_file(const QString &path, data0_file *out, QStringList *messages)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (messages)
            messages->append(QStringLiteral("cannot open the data0 file \"%1\": %2")
                                 .arg(path, file.errorString()));
        return return_codes::failed;
    }
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (messages)
            messages->append(QStringLiteral("cannot read the data0 file \"%1\": %2")
                                 .arg(path, file.errorString()));
        return return_codes::failed;
    }
    return read_text(text, QFileInfo(path).fileName(), out, messages);
}

int data0_reader::read_text(const QByteArray &text, const QString &source, data0_file *out,
                            QStringList *messages)
{
    *out = data0_file();
    out->source = source;
    parser p(text, source, out, messages);
    return p.run() ? return_codes::success : return_codes::failed;
}
