#include "store/NameFinder.h"

#include "store/NameOrder.h"
#include "store/TableReader.h"

#include <QUtf8StringView>

int NameFinder::find(QByteArrayView bytes)
{
    const QUtf8StringView name(bytes.data(), bytes.size());
    if (const int near = findNear(name); near >= 0 || !m_names)
        return near;
    const std::string_view wanted = bytesView(bytes);
    int low = 0;
    int high = m_names->rows();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const QByteArray probe = m_names->at(0, middle).toUtf8();
        if (nameLess(bytesView(probe), wanted))
            low = middle + 1;
        else
            high = middle;
    }
    m_cursor = low;
    return low < m_names->rows() && QAnyStringView::equal(name, m_names->at(0, low)) ? low : -1;
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
