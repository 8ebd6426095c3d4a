// Mounted volumes and a home directory chosen by the test, for the partitions
// list. Link lectern_file to use it.
#pragma once

#include "Partitions.h"

#include <QByteArray>
#include <QList>

class TScopedVolumes {
public:
    TScopedVolumes(const QString &home, const QList<TVolumeDescription> &volumes)
        : OldHome(qgetenv("HOME")), Volumes(volumes)
    {
        qputenv("HOME", home.toUtf8());
        SetVolumeSource([this] { return Volumes; });
    }
    ~TScopedVolumes()
    {
        SetVolumeSource(nullptr);
        qputenv("HOME", OldHome);
    }
    TScopedVolumes(const TScopedVolumes &) = delete;
    TScopedVolumes &operator=(const TScopedVolumes &) = delete;

    static TVolumeDescription Volume(const QString &root, const QString &type, const QString &device = QString(),
                                     const QString &label = QString(), bool removable = false)
    {
        return TVolumeDescription{root, device, type, label, removable};
    }

    QByteArray OldHome;
    QList<TVolumeDescription> Volumes;
};
