// Bipeds and non-bipeds built from a few numbers, each with its truth by construction.
#pragma once

#include "truthrig.h"

#include <QRandomGenerator>

#include <vector>

// The shape of a generated biped. It stands Y up, faces +Z (left = +X), in centimetres.
struct BipedShape
{
    int spine = 3;            // joints from the hips (excluded) to the chest (included), 1..5
    int neck = 1;             // joints between the chest and the head, 0..3
    bool collars = true;      // clavicles between the chest and the upper arms
    int fingers = 5;          // 0, 1, 3 or 5 digit chains per hand (3 and 5 include a thumb)
    int segments = 3;         // joints per digit, 2..3
    bool fingerPalms = false; // palm bones before the four fingers
    bool toes = true;
    double armDown = 0.0;   // degrees below horizontal (0 = T-pose, 45 = A-pose)
    double kneeBend = 4.0;  // degrees the knee stands forward of the hip-ankle line
    double legScale = 1.0;  // 0.7 for a child's proportions
    double headScale = 1.0; // 1.4 for a child's
    bool headTop = false;   // a leaf at the top of the skull
    int convention = 0;     // how joints are named, see NamingConventionCount()
};

int NamingConventionCount();
// The convention's label, for reports.
QString NamingConventionName(int convention);

// A biped of `shape`, named in its convention.
TruthRig GenerateBiped(const BipedShape& shape);
// A shape drawn at random over every field.
BipedShape RandomBipedShape(QRandomGenerator& random);
// Bodies that are not bipeds: four-legged animals (with or without tails), a robot arm, a
// snake, a spider; each with `biped` false.
std::vector<TruthRig> GenerateNonBipeds();
