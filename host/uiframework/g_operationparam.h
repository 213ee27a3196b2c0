#pragma once

#include "ombase/cca_geometry.h"

#include <QHash>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>

Q_DECLARE_METATYPE(CCA_Point)
Q_DECLARE_METATYPE(CCA_GPoint)

// The parameter set of an operation: typed values by key.
class G_OperationParam
{
public:
    // Replaces the value of an existing key.
    void Add(const QString &key, bool value);
    void Add(const QString &key, int value);
    void Add(const QString &key, unsigned value);
    void Add(const QString &key, float value);
    void Add(const QString &key, double value);
    void Add(const QString &key, const QString &value);
    void Add(const QString &key, const char *value);
    void Add(const QString &key, const CCA_Point &value);
    void Add(const QString &key, const CCA_GPoint &value);
    // Any value as it is; used to hand a whole parameter set on.
    void AddValue(const QString &key, const QVariant &value);
    // Adds every entry of `other`, replacing entries with the same key.
    void Merge(const G_OperationParam &other);

    bool Contains(const QString &key) const;
    bool IsEmpty() const { return m_values.isEmpty(); }
    void Remove(const QString &key);
    void Clear();
    QStringList Keys() const;
    QVariant Value(const QString &key) const;

    // Absent keys and values that do not convert give the default.
    bool GetBool(const QString &key, bool def = false) const;
    int GetInt32(const QString &key, int def = 0) const;
    float GetFloat(const QString &key, float def = 0) const;
    // An int reads back as its decimal text.
    QString GetQString(const QString &key, const QString &def = QString()) const;
    CCA_Point GetPoint(const QString &key, const CCA_Point &def = CCA_Point()) const;
    CCA_GPoint GetGPoint(const QString &key, const CCA_GPoint &def = CCA_GPoint()) const;

private:
    QHash<QString, QVariant> m_values;
};
