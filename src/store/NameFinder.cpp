#include "store/NameFinder.h"

#include "store/TableReader.h"

#include <QUtf8StringView>

int NameFinder::find(QByteArrayView bytes)
{
    return findNear(QUtf8StringView(bytes.data(), bytes.size()));
}

int NameFinder::find(const QString &name)
{
    const int near = findNear(name);
    if (near >= 0 || !m_names)
        return near;
    if (m_index.isEmpty()) {
        m_index.reserve(m_names->rows());
        for (int row = m_names->rows() - 1; row >= 0; --row)
            m_index.insert(m_names->at(0, row), row); // the first row of a name wins
    }
    const int row = m_index.value(name, -1);
    if (row >= 0)
        m_cursor = row;
    return row;
}

QString NameFinder::take(QByteArrayView bytes)
{
    const int row = find(bytes);
    return row >= 0 ? m_names->at(0, row) : decodeCell(bytes);
}

QString NameFinder::share(QByteArrayView bytes)
{
    if (const int near = find(bytes); near >= 0)
        return m_names->at(0, near);
    const QString name = decodeCell(bytes);
    const int row = find(name);
    return row >= 0 ? m_names->at(0, row) : name;
}

int NameFinder::findNear(QAnyStringView name)
{
    if (!m_names)
        return -1;
    constexpr int kLookAhead = 8;
    const int rows = m_names->rows();
    for (int next = m_cursor; next < rows && next < m_cursor + kLookAhead; ++next) {
        if (QAnyStringView::equal(name, m_names->at(0, next))) {
            m_cursor = next;
            return next;
        }
    }
    return -1;
}
