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

QString OpenFailureText(const OpenResult& result, const QString& name, bool english)
{
    QString text;
    switch (result.failure) {
    case OpenFailure::None:
        return {};
    case OpenFailure::Absent:
        text = english ? QStringLiteral("The camera \"%1\" is not connected")
                       : QStringLiteral("La caméra \"%1\" n'est pas branchée");
        break;
    case OpenFailure::Refused:
        text = english ? QStringLiteral("The camera \"%1\" refused the user name or password")
                       : QStringLiteral(
                             "La caméra \"%1\" a refusé le nom d'utilisateur ou le mot de passe");
        break;
    case OpenFailure::Unreachable:
        text = english ? QStringLiteral("The camera \"%1\" cannot be reached at its address")
                       : QStringLiteral("La caméra \"%1\" est injoignable à son adresse");
        break;
    case OpenFailure::NoPicture:
        text = english ? QStringLiteral("The camera \"%1\" answers but sends no picture")
                       : QStringLiteral("La caméra \"%1\" répond mais n'envoie aucune image");
        break;
    case OpenFailure::Failed:
        text = english ? QStringLiteral("The camera \"%1\" could not be started")
                       : QStringLiteral("La caméra \"%1\" n'a pas pu démarrer");
        // The library's words come after the name, never read as a pattern.
        return result.detail.isEmpty() ? text.arg(name)
                                       : text.arg(name) + QStringLiteral(": ") + result.detail;
    }
    return text.arg(name);
}
