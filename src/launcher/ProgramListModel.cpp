#include "launcher/ProgramListModel.h"

#include "launcher/ProgramList.h"

CProgramListModel::CProgramListModel(const CProgramList& list, QObject* parent)
    : QAbstractListModel(parent), m_list(list)
{
}

int CProgramListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list.GetCount();
}

QVariant CProgramListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_list.GetCount())
        return {};
    const int nRow = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return m_list.GetName(nRow);
    case Qt::DecorationRole:
        return m_list.GetIcon(nRow);
    case Qt::BackgroundRole:
        return kBackColor;
    case PathTipRole:
        return CProgramList::PathTip(m_list.GetPath(nRow));
    default:
        return {};
    }
}

void CProgramListModel::Refill()
{
    beginResetModel();
    endResetModel();
}
