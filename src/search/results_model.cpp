#include "results_model.h"

#include "form1.h"
#include "place.h"
#include "search.h"

namespace folium::search {

ResultEntry resultEntry(const QString &t, int index)
{
    const QString number = QString::number(index);
    // "A" keys: the number padded to four characters with leading blanks.
    const QString padded = QString(index < 10 ? 3 : index < 100 ? 2 : index < 1000 ? 1 : 0, u' ') + number;
    const QString twelve = number.rightJustified(12, u'0');
    const engine::TopicKind kind = engine::topicKindOf(t);
    const QString shown = engine::titleWithoutKindMark(t);
    const int icon = forms::Form1::imageOf(kind);
    switch (kind) {
    case engine::TopicKind::Letter: return {shown, icon, u'C' + twelve};
    case engine::TopicKind::Chapter: return {shown, icon, u'D' + shown};
    case engine::TopicKind::Home:
    case engine::TopicKind::Index: return {shown, icon, u'B' + shown};
    case engine::TopicKind::Note:
        // The notes of a letter ("Nota n. 3") sort with the letters.
        return {shown, icon, t.startsWith(u"Nota n.") ? u'C' + twelve : u'A' + padded + u'N'};
    case engine::TopicKind::Plain: break;
    }
    return {t, icon, u'A' + padded};
}

namespace {

QIcon iconOf(int number)
{
    return forms::Form1::image(number);
}

} // namespace

ResultsModel::ResultsModel(QObject *parent) : QAbstractTableModel(parent) {}

void ResultsModel::setHits(std::vector<int> topics, TitleReader titles, ContextReader context)
{
    beginResetModel();
    m_topics = std::move(topics);
    m_titles = std::move(titles);
    m_reader = std::move(context);
    m_contexts.assign(m_topics.size(), Context());
    m_contextsRead = 0;
    endResetModel();
}

void ResultsModel::clear()
{
    setHits({}, {}, {});
}

int ResultsModel::topicAt(int row) const
{
    return row >= 0 && row < int(m_topics.size()) ? m_topics[size_t(row)] : -1;
}

int ResultsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_topics.size());
}

int ResultsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

ResultEntry ResultsModel::entry(int row) const
{
    const int topic = m_topics[size_t(row)];
    return resultEntry(m_titles ? m_titles(topic) : QString(), topic);
}

const ResultsModel::Context &ResultsModel::contextOf(int row) const
{
    Context &c = m_contexts[size_t(row)];
    if (!c.read) {
        c.read = true;
        ++m_contextsRead;
        if (m_reader) {
            const engine::HitContext h = m_reader(m_topics[size_t(row)]);
            c.before = h.before;
            c.hit = h.hit;
            c.after = h.after;
        }
    }
    return c;
}

QVariant ResultsModel::data(const QModelIndex &index, int role) const
{
    const int row = index.row();
    if (!index.isValid() || row < 0 || row >= rowCount())
        return {};
    const int topic = m_topics[size_t(row)];
    if (index.column() == 1) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
        case Qt::AccessibleTextRole: {
            const Context &c = contextOf(row);
            return c.before + c.hit + c.after;
        }
        case ContextBeforeRole: return contextOf(row).before;
        case ContextHitRole: return contextOf(row).hit;
        case ContextAfterRole: return contextOf(row).after;
        case forms::TagRole: return QStringLiteral(" %1").arg(topic);
        default: return {};
        }
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return entry(row).text;
    case Qt::DecorationRole: return iconOf(entry(row).icon);
    case forms::TagRole: return QStringLiteral(" %1").arg(topic);
    case forms::PlaceRole: return QVariant::fromValue(engine::Place{topic}); // a result leads to its topic's top
    case forms::ImageRole: return entry(row).icon;
    case forms::SortKeyRole: return entry(row).sortKey;
    default: return {};
    }
}

} // namespace folium::search
