#include "TVideoCamTexts.h"

namespace {

struct TextPair
{
    const char* english;
    const char* french;
};

TextPair Pair(TVideoCamText text)
{
    switch (text) {
    case TVideoCamText::NotSelectedActivate:
        return {"Unable to activate video\nThe driver is not selected !",
                "Impossible d'activer la vidéo\nLe pilote n'a pas été sélectionné !"};
    case TVideoCamText::NotSelectedDeactivate:
        return {"Unable to desactivate video\nThe driver is not selected !",
                "Impossible de désactiver la vidéo\nLe pilote n'a pas été sélectionné !"};
    case TVideoCamText::UnableToActivate:
        return {"Unable to activate video", "Impossible d'activer la vidéo"};
    case TVideoCamText::UnableToConnect:
        return {"Unable to connect video", "Connection vidéo impossible"};
    case TVideoCamText::DriverRefused:
        return {"Unable to connect to video driver.\nTry again or else\nshutdown and restart "
                "your computer.",
                "Impossible de se connecter au pilote vidéo.\nEssayez encore sinon\narrêtez et "
                "redémarrez l'ordinateur."};
    case TVideoCamText::NoFormatDialog:
        return {"The device don't allow to select video format",
                "Le dispositif ne permet pas de sélectionner le format"};
    case TVideoCamText::NoDisplayDialog:
        return {"The device don't allow to select video display",
                "Le dispositif ne permet pas de sélectionner l'affichage"};
    case TVideoCamText::NoSourceDialog:
        return {"The device don't allow to select video source",
                "Le dispositif ne permet pas de sélectionner la source"};
    case TVideoCamText::SelectDriverCaption:
        return {"Video driver selection", "Sélection du pilote de la caméra vidéo"};
    case TVideoCamText::SelectDriverCancel:
        return {"Cancel", "Annuler"};
    }
    return {"", ""};
}

} // namespace

QString VideoCamText(TVideoCamText text, bool english)
{
    const TextPair pair = Pair(text);
    return QString::fromUtf8(english ? pair.english : pair.french);
}

QString VideoFormatNotValidText(int width, int height, unsigned bitCount, bool english)
{
    if (english)
        return QStringLiteral("Video format not valid:\nWidth: %1\nHeight: %2\nBit per pixel: %3")
            .arg(width)
            .arg(height)
            .arg(bitCount);
    return QStringLiteral("Format vidéo non valide:\nLargeur: %1\nHauteur: %2\nBit par pixel: %3")
        .arg(width)
        .arg(height)
        .arg(bitCount);
}
