// Writes a rendered skin: the skin file, its BMP pictures and its outline
// file, and optionally preview pictures elsewhere. Used only by zumbrel-skingen.
#pragma once

#include <QList>
#include <QString>

#include "tools/SkinDesc.h"

struct TWriteSummary {
  int Pictures = 0;  // BMP files written
  qint64 Bytes = 0;  // bytes of every file written into the skins folder
  int OutlineRects = 0;
};

// The text of the skin file for `desc`, its pictures in the folder `pictureDir`.
QString SkinFileText(const TSkinDesc& desc, const QString& pictureDir);

// The file name (inside the picture folder) of an element's picture.
QString KeyPictureName(const TKey& key, bool second, bool third);

// Renders `desc` and writes <skinsDir>/<Name>.skn and <skinsDir>/<Name>/ (the
// BMPs and "Outline.rgn"; stale BMPs there are removed first). Each scale of
// `scales` above 1 adds every picture once more at that many pixels per skin
// pixel, named <Picture>@<scale>x.bmp, for screens of that device pixel
// ratio; the outline is the one of the pictures at scale 1. When
// `previewDir` is not empty, also writes <Name>-preview.png and
// <Name>-states.png there. Throws EDescError when a file cannot be written.
TWriteSummary WriteSkin(const TSkinDesc& desc, const QString& skinsDir, const QString& previewDir,
                        const QList<int>& scales = {1});
