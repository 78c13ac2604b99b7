#include "tei_import.h"

#include "part_files.h"
#include "source_access.h"
#include "tei_edition.h"
#include "tei_indexes.h"
#include "tei_letter.h"
#include "tei_map.h"
#include "tei_outputs.h"
#include "tei_referents.h"
#include "tei_register.h"
#include "tei_text.h"
#include "tei_xml.h"

#include <QCollator>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTemporaryFile>
#include <QUrl>

#include <algorithm>
#include <map>

#include <sys/resource.h>

namespace folium::mktitle {

using namespace tei;

namespace {

// A topic file holds the letters of a year, split further past this size.
constexpr qint64 kTopicFileBytes = 4LL << 20;

QString peakMemory()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return QString::number(usage.ru_maxrss / 1024.0, 'f', 1);
}

// Everything an import makes before the compiler takes it.
class Importer {
public:
    explicit Importer(const TeiImportOptions &o) : m_o(o) {}

    TeiImportResult run()
    {
        if (!collectSources(m_o.sources, &m_files, &m_r.errors))
            return std::move(m_r);
        m_r.files = int(m_files.size());
        if (m_files.empty()) {
            m_r.errors << QStringLiteral("%1: no TEI files (*.xml) found").arg(m_o.sources.join(QStringLiteral(", ")));
            return std::move(m_r);
        }
        QSet<QString> folders;
        for (const SourceFile &f : m_files)
            if (!folders.contains(f.folder)) {
                folders.insert(f.folder);
                m_access.allowFolder(f.folder);
            }
        for (const QString &f : m_o.allowedFolders)
            m_access.allowFolder(f);

        if (!m_o.mapping.isEmpty() && !readMapping(m_o.mapping, &m_map, &m_r.errors))
            return std::move(m_r);
        if (!readRegisterFiles())
            return std::move(m_r);

        QElapsedTimer reading;
        reading.start();
        const bool read = openSpool() && readLetters();
        m_r.readSeconds = reading.nsecsElapsed() / 1e9;
        if (!read)
            return std::move(m_r);
        if (m_letters.empty()) {
            m_r.errors << QStringLiteral("%1: no TEI letters found").arg(m_o.sources.join(QStringLiteral(", ")));
            return std::move(m_r);
        }
        settleLanguage();
        settleLetters();
        settleReferents();
        TitleSource project = makeProject();
        std::vector<TopicFile> files = makeTopicFiles();
        if (!m_o.emitSource.isEmpty() && !emitSource(project, files))
            return std::move(m_r);
        if (!m_o.manifest.isEmpty() && !writeManifest())
            return std::move(m_r);
        m_r.compile = compileTopicFiles(project, files, m_o.output);
        m_r.errors += m_r.compile.errors;
        m_r.warnings += m_r.compile.warnings;
        m_r.words = m_r.compile.words;
        if (!m_r.compile.ok) {
            discardOutputs();
            return std::move(m_r);
        }
        if (!placeOutputs())
            return std::move(m_r);
        m_r.ok = true;
        return std::move(m_r);
    }

private:
    // --- reading

    bool openSpool()
    {
        const QFileInfo out(m_o.output);
        if (!out.absoluteDir().exists()) {
            m_r.errors << QStringLiteral("%1: cannot write: the folder %2 does not exist")
                              .arg(out.absoluteFilePath(), QDir::toNativeSeparators(out.absolutePath()));
            return false;
        }
        // Beside the title, where there is room for it.
        m_spool.setFileTemplate(out.absoluteDir().filePath(QStringLiteral(".%1.letters-XXXXXX").arg(out.fileName())));
        if (!m_spool.open()) {
            m_r.errors << QStringLiteral("%1: cannot write a temporary file: %2")
                              .arg(out.absoluteFilePath(), m_spool.errorString());
            return false;
        }
        registerPartFile(m_spool.fileName());
        return true;
    }

    bool readLetters()
    {
        TextOptions textOptions;
        textOptions.joinLineEndHyphens =
            m_o.keepHyphensGiven || !m_map.joinLineEndHyphens ? m_o.joinLineEndHyphens : *m_map.joinLineEndHyphens;
        textOptions.keepFront = m_map.keepFront;
        textOptions.keepBack = m_map.keepBack;
        textOptions.leftOutDivTypes = m_map.leftOutDivTypes;
        textOptions.leftOutNoteTypes = m_map.leftOutNoteTypes;
        textOptions.inlineNoteTypes = m_map.inlineNoteTypes;
        textOptions.keptNoteTypes = m_map.callNoteTypes;
        textOptions.keepOtherNotes = m_map.keepOtherNotes;
        for (size_t i = 0; i < m_files.size(); ++i) {
            const SourceFile &file = m_files[i];
            if (m_o.progress && !m_o.progress(int(i), int(m_files.size()), file.asGiven)) {
                m_r.errors << QStringLiteral("the import was cancelled");
                return false;
            }
            m_r.teiBytes += file.size;
            const size_t lettersBefore = m_letters.size();
            const size_t mentionsBefore = m_referents.mentionCount();
            QStringList fileErrors;
            TeiFileReader reader;
            const bool read = reader.read(
                file.path, [&](const TeiDocument &doc) { readDocument(doc, int(i), textOptions, &fileErrors); });
            if (!read)
                fileErrors.prepend(
                    QStringLiteral("%1:%2: %3").arg(file.asGiven).arg(reader.errorLine()).arg(reader.error()));
            if (fileErrors.isEmpty())
                continue;
            if (m_o.skipBad) {
                m_r.leftOut += fileErrors;
                m_letters.resize(lettersBefore);
                m_referents.dropMentionsFrom(mentionsBefore);
            } else {
                m_r.errors += fileErrors;
            }
        }
        if (!m_spool.flush()) {
            m_r.errors << QStringLiteral("%1: cannot write a temporary file: %2")
                              .arg(m_spool.fileName(), m_spool.errorString());
            return false;
        }
        return m_r.errors.isEmpty();
    }

    void readDocument(const TeiDocument &doc, int fileIndex, TextOptions textOptions, QStringList *errors)
    {
        const SourceFile &file = m_files[size_t(fileIndex)];
        const xmlNode *header = child(doc.tei, "teiHeader");
        if (doc.indexInFile == 0 && doc.corpusHeader) {
            const EditionInfo info = editionInfo(doc.corpusHeader);
            if (m_corpusInfo.title.isEmpty())
                m_corpusInfo = info;
        }
        Renditions renditions = doc.corpusHeader ? renditionsOf(doc.corpusHeader) : Renditions();
        renditions.insert(renditionsOf(header));
        for (auto it = m_map.rendStyles.cbegin(); it != m_map.rendStyles.cend(); ++it)
            renditions.insert(kRendPrefix + it.key(), it.value());
        m_registers.readDocument(doc, file.asGiven);
        PrefixDefs prefixes = m_map.prefixes;
        for (const xmlNode *h : {doc.corpusHeader, header})
            if (h)
                for (PrefixDef &d : prefixDefsOf(h))
                    prefixes.push_back(std::move(d));
        const EditionInfo info = editionInfo(header);
        if (m_edition.edition.isEmpty())
            m_edition.edition = info.edition;
        if (m_edition.licence.isEmpty())
            m_edition.licence = info.licence;
        std::vector<LetterInDocument> letters = lettersOf(doc, m_map.letters);
        if (letters.empty())
            m_r.warnings << QStringLiteral("%1:%2: warning: this TEI document has no <text>: it gives no letter")
                                .arg(file.asGiven)
                                .arg(lineOf(doc.tei));
        // The titles every letter repeats name the edition.
        QSet<QString> titles;
        for (const xmlNode *t = child(child(child(header, "fileDesc"), "titleStmt"), "title"); t; t = t->next)
            if (is(t, "title"))
                if (const QString s = plainText(t); !s.isEmpty())
                    titles.insert(s);
        for (const QString &t : titles)
            m_titleCounts[t] += int(letters.size());
        m_documents += int(letters.size());

        const ImageResolver images = [&](const QString &url, int line) { return image(file, url, line, errors); };
        for (LetterInDocument &l : letters) {
            textOptions.language = l.meta.language;
            const int readIndex = m_readLetters++;
            textOptions.mention = [&](const Mention &m) {
                const int key = m_referents.keyOf(m.kind, m.ref, m.text, prefixes, file.asGiven, m.line);
                m_referents.mention(key, readIndex, m.noteOrdinal, m.noteLabel);
                ++m_r.mentions;
                return ReferentCollector::cardContext(key);
            };
            TextResult text = convertLetterText(l.text, renditions, textOptions, images);
            for (const QString &e : text.errors)
                errors->append(file.asGiven + u':' + e);
            Letter letter;
            letter.readIndex = readIndex;
            letter.incipit = incipitOf(l.text, m_map.letters.divType, m_map.leftOutDivTypes);
            const auto keys = [&](const QStringList &names, const QStringList &refs, std::vector<int> *out) {
                for (qsizetype i = 0; i < names.size(); ++i)
                    out->push_back(m_referents.keyOf(EntityKind::Person, refs.value(i), names[i], prefixes,
                                                     file.asGiven, l.meta.line));
            };
            keys(l.meta.senders, l.meta.senderRefs, &letter.senderKeys);
            keys(l.meta.receivers, l.meta.receiverRefs, &letter.receiverKeys);
            if (!l.meta.place.isEmpty())
                letter.placeKey = m_referents.keyOf(EntityKind::Place, l.meta.placeRef, l.meta.place, prefixes,
                                                    file.asGiven, l.meta.line);
            letter.meta = std::move(l.meta);
            letter.file = fileIndex;
            letter.notes = text.notes;
            letter.offset = m_spool.pos();
            letter.size = text.sr.size();
            if (m_spool.write(text.sr) != text.sr.size()) {
                errors->append(QStringLiteral("%1: cannot write a temporary file: %2")
                                   .arg(m_spool.fileName(), m_spool.errorString()));
                return;
            }
            m_r.notes += text.notes;
            m_r.uncalledNotes += text.uncalledNotes;
            m_r.pages += text.pages;
            for (auto it = text.noRule.cbegin(); it != text.noRule.cend(); ++it)
                m_r.noRule[it.key()] += it.value();
            m_letters.push_back(std::move(letter));
        }
    }

    bool readRegisterFiles()
    {
        return tei::readRegisterFiles(m_map.registerFiles + m_o.registers, m_registers, &m_r.errors, &m_r.warnings);
    }

    // A figure's image: the file beside the TEI file, read into the title
    // when it may be; "" shows the figure's description.
    QString image(const SourceFile &file, const QString &url, int line, QStringList *errors)
    {
        if (url.contains(QLatin1String("://")) || url.startsWith(QLatin1String("data:")))
            return {};
        const QString path = QDir(file.folder).filePath(QUrl::fromPercentEncoding(url.toUtf8()));
        const QFileInfo fi(path);
        if (!fi.exists())
            return {};
        const QString refusal = m_access.refusal(path, url, SourceAccess::kMaxImageFileBytes);
        if (!refusal.isEmpty()) {
            errors->append(QStringLiteral("%1:%2: %3").arg(file.asGiven).arg(line).arg(refusal));
            return {};
        }
        if (!isSupportedImage(path)) {
            m_r.warnings << QStringLiteral("%1:%2: warning: %3 is no PNG, JPEG or GIF image: its description is shown")
                                .arg(file.asGiven)
                                .arg(line)
                                .arg(url);
            return {};
        }
        const QString canonical = fi.canonicalFilePath();
        if (const auto it = m_imageNames.constFind(canonical); it != m_imageNames.constEnd())
            return *it;
        QString name = fi.fileName();
        for (int n = 2; m_imageNameTaken.contains(name.toLower()); ++n)
            name = QStringLiteral("%1-%2").arg(n).arg(fi.fileName());
        m_imageNameTaken.insert(name.toLower());
        m_imageNames.insert(canonical, name);
        m_images.push_back({name, canonical, {file.asGiven, line}});
        return name;
    }

    // --- the title's order, names and words

    void settleLanguage()
    {
        Language l = Language::English;
        const QString chosen = m_o.language.isEmpty() ? m_map.language : m_o.language;
        if (!chosen.isEmpty()) {
            languageFromCode(chosen, &l);
        } else {
            // The language most letters are written in, of those the
            // title's words exist in.
            std::map<int, int> counts;
            std::vector<Language> order;
            for (const Letter &letter : m_letters) {
                Language ll;
                if (languageFromCode(letter.meta.language, &ll)) {
                    if (!counts.count(int(ll)))
                        order.push_back(ll);
                    ++counts[int(ll)];
                }
            }
            int best = 0;
            for (Language c : order)
                if (counts[int(c)] > best) {
                    best = counts[int(c)];
                    l = c;
                }
        }
        m_words.language = l;
        m_r.language = languageCode(l);
    }

    void settleLetters()
    {
        // References compared with their numbers as numbers ("L 2" before "L 10").
        QCollator references(QLocale::c());
        references.setNumericMode(true);
        std::stable_sort(m_letters.begin(), m_letters.end(), [&references](const Letter &a, const Letter &b) {
            const PartialDate da = a.meta.sortDate(), db = b.meta.sortDate();
            if (da.valid() != db.valid())
                return da.valid();
            const auto ka = std::tuple(da.year, da.month, da.day), kb = std::tuple(db.year, db.month, db.day);
            if (ka != kb)
                return ka < kb;
            if (a.meta.reference != b.meta.reference)
                return references.compare(a.meta.reference, b.meta.reference) < 0;
            return a.file < b.file;
        });
        // A letter the edition gives no reference is known by its number
        // in date order.
        for (size_t i = 0; i < m_letters.size(); ++i)
            if (m_letters[i].meta.reference.isEmpty())
                m_letters[i].meta.reference = QString::number(i + 1);
        assignKeys(m_letters);
        m_r.letters = int(m_letters.size());

        m_name = m_o.name;
        if (m_name.isEmpty())
            m_name = m_map.name;
        if (m_name.isEmpty())
            m_name = m_corpusInfo.title;
        if (m_name.isEmpty()) {
            // A title most letters carry is the edition's; letters' own
            // titles differ from each other.
            int best = 0;
            for (auto it = m_titleCounts.cbegin(); it != m_titleCounts.cend(); ++it)
                if (it.value() > best || (it.value() == best && it.key() < m_name)) {
                    best = it.value();
                    m_name = it.key();
                }
            if (m_documents > 1 && best * 2 <= m_documents)
                m_name.clear();
        }
        if (m_name.isEmpty())
            m_name = QFileInfo(m_o.sources.value(0)).completeBaseName();
        if (m_name.isEmpty())
            m_name = QStringLiteral("TEI");
        m_r.name = m_name;
        if (!m_corpusInfo.edition.isEmpty())
            m_edition.edition = m_corpusInfo.edition;
        if (!m_corpusInfo.licence.isEmpty())
            m_edition.licence = m_corpusInfo.licence;

        QHash<QString, int> dayUsed; // DDMMYY and the year that has it
        int firstYear = 0, lastYear = 0;
        bool centuryClash = false;
        for (Letter &l : m_letters) {
            const LetterMeta &m = l.meta;
            l.data = QStringLiteral("SMK") + l.key;
            if (m.date.valid())
                ++m_r.dated;
            else if (m.isRange())
                ++m_r.ranges;
            else
                ++m_r.undated;
            if (!m.hasCorrespDesc)
                ++m_r.withoutCorrespDesc;
            const PartialDate sd = m.sortDate();
            if (sd.valid()) {
                firstYear = firstYear ? std::min(firstYear, sd.year) : sd.year;
                lastYear = std::max(lastYear, sd.year);
            }
            if (m.date.valid() && m.date.day) {
                const QString day = dayContext(m.date);
                const auto it = dayUsed.find(day);
                if (it == dayUsed.end()) {
                    dayUsed.insert(day, m.date.year * 1000 + 1);
                    l.dateContext = day;
                } else if (it.value() / 1000 == m.date.year) {
                    // The second letter of a day is "a", the next "b"...
                    const int n = it.value() % 1000;
                    if (n <= 26) {
                        l.dateContext = day + QChar(u'a' + n - 1);
                        ++it.value();
                    }
                } else {
                    centuryClash = true;
                }
            }
            l.group = sd.valid() ? QStringLiteral("L%1").arg(sd.year) : QStringLiteral("Lsd");
            titleLetter(l, m_words, m_map, m_name);
        }
        if (centuryClash || (firstYear && lastYear - firstYear >= 100))
            m_r.warnings << QStringLiteral("%1: warning: the letters span %2–%3, more than a century: the date field "
                                           "cannot tell centuries apart, and a day's date finds the first letter of "
                                           "that day and month in any century")
                                .arg(m_o.output)
                                .arg(firstYear)
                                .arg(lastYear);
    }

    void settleReferents()
    {
        m_settledReferents = m_referents.settle(m_registers, m_letters, &m_r.warnings);
        m_r.registerEntries = m_registers.size();
        m_r.referents = int(m_settledReferents.size());
        for (const Referent &r : m_settledReferents)
            if (r.entry < 0)
                ++m_r.unregistered;
    }

    // --- the project

    TitleSource makeProject()
    {
        TitleSource p;
        p.name = m_name;
        p.notesPrefix = m_words.notesPrefix();
        p.homeContext = QStringLiteral("sommario");
        p.images = m_images;
        p.readableFolders = m_access.folders();
        const Location here{m_o.output, 0};
        const auto param = [&](const char *code, const QString &p1, const QString &p2 = {}) {
            p.params.push_back({QString::fromLatin1(code), p1, p2, !p2.isEmpty(), here});
        };
        param("NOM", m_name);
        param("DAT", QStringLiteral("O"));
        param("HAS", QStringLiteral("N"));
        for (const Letter &l : m_letters)
            if (const PartialDate d = l.meta.sortDate(); d.valid()) {
                param("DEB", QStringLiteral("%1-%2-%3")
                                 .arg(d.year, 4, 10, QChar(u'0'))
                                 .arg(std::max(d.month, 1), 2, 10, QChar(u'0'))
                                 .arg(std::max(d.day, 1), 2, 10, QChar(u'0')));
                break;
            }
        m_r.correspondentSubsets = addSubsets(p, m_letters, m_settledReferents, m_words, m_map);
        addContents(p, m_letters, m_settledReferents, m_words, m_map, m_name);
        return p;
    }

    // The home topic and the letters' topic files, a year or a part of one
    // each; their text is read back from the temporary file when the
    // compiler comes to them.
    std::vector<TopicFile> makeTopicFiles()
    {
        std::vector<TopicFile> files;
        const QByteArray indexLinks = homeIndexLinks(m_words, m_map);
        const QByteArray home = homeTopic(m_letters, m_words, m_name, m_edition, indexLinks);
        files.push_back({QStringLiteral("home.xml"), {m_o.output, 0}, [home](QByteArray *bytes, QString *) {
                             *bytes = home;
                             return true;
                         }});
        size_t start = 0;
        QHash<QString, int> names;
        while (start < m_letters.size()) {
            size_t end = start;
            qint64 bytes = 0;
            const QString group = m_letters[start].group;
            while (end < m_letters.size() && m_letters[end].group == group &&
                   (end == start || bytes + m_letters[end].size < kTopicFileBytes))
                bytes += m_letters[end++].size;
            const QString base =
                group == u"Lsd" ? QStringLiteral("letters-undated") : QStringLiteral("letters-") + group.mid(1);
            const int n = ++names[base];
            const QString name = (n == 1 ? base : QStringLiteral("%1-%2").arg(base).arg(n)) + QStringLiteral(".xml");
            const QString spool = m_spool.fileName();
            files.push_back({name, {m_o.output, 0}, [this, start, end, spool](QByteArray *out, QString *error) {
                                 return letterTopics(m_letters, m_words, spool, start, end, out, error);
                             }});
            start = end;
        }
        const IndexInput in{m_letters, m_registers, m_settledReferents, m_words, m_map};
        const auto made = [&](const QString &name, const QByteArray &bytes) {
            files.push_back({name, {m_o.output, 0}, [bytes](QByteArray *out, QString *) {
                                 *out = bytes;
                                 return true;
                             }});
        };
        made(QStringLiteral("indexes.xml"), indexTopics(in));
        made(QStringLiteral("cards.xml"), cardTopics(in));
        return files;
    }

    // --- the outputs beside the title

    bool emitSource(const TitleSource &p, const std::vector<TopicFile> &files)
    {
        return m_outputs.emitSource(p, files, m_o.emitSource, &m_r.errors);
    }
    bool writeManifest() { return m_outputs.writeManifest(m_letters, m_files, m_o.manifest, &m_r.errors); }
    void discardOutputs() { m_outputs.discard(); }
    bool placeOutputs() { return m_outputs.place(m_o.manifest, m_o.emitSource, &m_r.errors); }

public:
    ~Importer()
    {
        if (m_spool.isOpen())
            unregisterPartFile(m_spool.fileName());
    }

private:
    const TeiImportOptions &m_o;
    TeiImportResult m_r;
    std::vector<SourceFile> m_files;
    SourceAccess m_access;
    QTemporaryFile m_spool;
    std::vector<Letter> m_letters;
    std::vector<ImageSource> m_images;
    QHash<QString, QString> m_imageNames; // canonical path → name in the title
    QSet<QString> m_imageNameTaken;
    EditionInfo m_corpusInfo, m_edition;
    QHash<QString, int> m_titleCounts;
    int m_documents = 0;
    QString m_name;
    Words m_words{Language::English};
    OutputFiles m_outputs;
    TeiMapping m_map;
    Registers m_registers;
    ReferentCollector m_referents;
    std::vector<Referent> m_settledReferents;
    int m_readLetters = 0;
};

} // namespace

TeiImportResult importTei(const TeiImportOptions &options)
{
    QElapsedTimer timer;
    timer.start();
    TeiImportResult r = Importer(options).run();
    r.seconds = timer.nsecsElapsed() / 1e9;
    return r;
}

QStringList teiSummary(const TeiImportResult &r)
{
    QStringList out;
    out << QStringLiteral("%1: %2 letters from %3 files (%4 dated, %5 by a date range, %6 undated), language %7")
               .arg(QFileInfo(r.compile.m14Path).fileName())
               .arg(r.letters)
               .arg(r.files)
               .arg(r.dated)
               .arg(r.ranges)
               .arg(r.undated)
               .arg(r.language);
    if (r.withoutCorrespDesc)
        out << QStringLiteral("  letters without a correspondence description (correspDesc): %1; their title and "
                              "date come from the header's title and dates, or from the letter's text")
                   .arg(r.withoutCorrespDesc);
    out << QStringLiteral("  %1 notes (%2 not called in the text), %3 words indexed, %4 page breaks")
               .arg(r.notes)
               .arg(r.uncalledNotes)
               .arg(r.words)
               .arg(r.pages);
    if (!r.noRule.isEmpty()) {
        QStringList names;
        for (auto it = r.noRule.cbegin(); it != r.noRule.cend(); ++it)
            names << QStringLiteral("%1 (%2)").arg(it.key()).arg(it.value());
        out << QStringLiteral("  elements with no rule, kept as text: ") + names.join(QStringLiteral(", "));
    }
    if (!r.leftOut.isEmpty())
        out << QStringLiteral("  %1 problems: the letters of those files are left out").arg(r.leftOut.size());
    out << QStringLiteral("  %1 MB of TEI in %2 s (%3 MB/s), peak memory %4 MB")
               .arg(r.teiBytes / 1048576.0, 0, 'f', 1)
               .arg(r.seconds, 0, 'f', 2)
               .arg(r.seconds > 0 ? r.teiBytes / 1048576.0 / r.seconds : 0, 0, 'f', 1)
               .arg(peakMemory());
    return out;
}

} // namespace folium::mktitle
