#include "jointnames.h"

#include <QRegularExpression>

namespace {

const char* const kLeftWords[] = {"left",      "l",        "lft",      "links", "gauche",
                                  "izquierda", "sinistra", "esquerda", "lf"};
const char* const kRightWords[] = {"right",  "r",       "rt",     "rgt",     "rechts",
                                   "droite", "derecha", "destra", "direita", "rg"};

bool Contains(const QStringList& words, const char* const* list, int count)
{
    for (int k = 0; k < count; ++k)
        if (words.contains(QLatin1String(list[k])))
            return true;
    return false;
}

bool AnyWord(const QStringList& words, std::initializer_list<const char*> candidates)
{
    for (const char* candidate : candidates)
        if (words.contains(QLatin1String(candidate)))
            return true;
    return false;
}

bool AnyStart(const QStringList& words, std::initializer_list<const char*> stems)
{
    for (const QString& word : words)
        for (const char* stem : stems)
            if (word.startsWith(QLatin1String(stem)))
                return true;
    return false;
}

} // namespace

QStringList JointNames::Words(const QString& name)
{
    static const QRegularExpression escape(QStringLiteral("XFRASC(\\d{3})"));
    QString plain = name;
    for (auto match = plain.contains(QLatin1String("XFRASC")) ? escape.match(plain)
                                                              : QRegularExpressionMatch();
         match.hasMatch(); match = escape.match(plain))
        plain.replace(match.capturedStart(), match.capturedLength(),
                      QChar(match.captured(1).toInt()));
    // After a namespace ("rig:") only the last part names the joint.
    plain = plain.mid(plain.lastIndexOf(QLatin1Char(':')) + 1);
    QStringList words;
    QString word;
    const auto flush = [&] {
        if (!word.isEmpty())
            words << word.toLower();
        word.clear();
    };
    for (int i = 0; i < plain.size(); ++i) {
        const QChar c = plain[i];
        if (!c.isLetter()) {
            flush();
            continue;
        }
        // A capital starts a word ("UpLeg"), except inside a run of capitals ("HEAD"); a run's
        // last capital starts the next word when a lower-case letter follows ("LThumb").
        if (c.isUpper() && !word.isEmpty() &&
            (word.back().isLower() || (i + 1 < plain.size() && plain[i + 1].isLower())))
            flush();
        word += c;
    }
    flush();
    return words;
}

JointNames::Side JointNames::SideOf(const QString& name)
{
    const QStringList words = Words(name);
    const int count = int(sizeof(kLeftWords) / sizeof(kLeftWords[0]));
    const bool left = Contains(words, kLeftWords, count);
    const bool right =
        Contains(words, kRightWords, int(sizeof(kRightWords) / sizeof(kRightWords[0])));
    if (left == right)
        return Side::None;
    return left ? Side::Left : Side::Right;
}

bool JointNames::Names(const QString& name, Part part)
{
    const QStringList words = Words(name);
    const bool end = AnyWord(words, {"end", "top", "nub", "tip", "ende", "null", "site"});
    switch (part) {
    case Part::Head:
        return !end && AnyWord(words, {"head", "kopf", "skull", "cabeza", "tete"});
    case Part::HeadEnd:
        return end && AnyWord(words, {"head", "kopf", "skull", "cabeza", "tete"});
    case Part::Thumb:
        // "Finger0" is the thumb where digits count from zero.
        {
            static const QRegularExpression fingerZero(QStringLiteral("Finger0(\\d|$)"));
            return AnyStart(words, {"thumb", "daumen", "pollex", "pouce", "pulgar"}) ||
                   name.contains(fingerZero);
        }
    case Part::Index:
        return AnyStart(words, {"index", "zeige", "pointer", "indice"});
    case Part::Middle:
        return AnyStart(words, {"middle", "mittel", "medio"});
    case Part::Ring:
        return AnyStart(words, {"ring", "anular"});
    case Part::Pinky:
        return AnyStart(words, {"pinky", "pinkie", "little", "klein", "small", "menique"});
    case Part::UpperArm:
        return AnyStart(words, {"upperarm", "humerus", "oberarm"}) ||
               (words.contains(QLatin1String("arm")) &&
                !AnyWord(words, {"fore", "lower", "low", "unter"}));
    case Part::PalmBone:
        return AnyStart(words, {"metacarp", "metatars", "palm", "carpal", "mittelhand"});
    case Part::Tip:
        return end;
    case Part::Twist:
        return AnyStart(words, {"twist", "roll"});
    case Part::Collar:
        return AnyStart(words, {"clavicle", "collar", "schl", "clav"});
    }
    return false;
}
