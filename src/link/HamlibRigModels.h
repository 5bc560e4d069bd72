#pragma once
// Every rig model Hamlib knows, for the operator to choose from, sorted by
// manufacturer then model name (case-blind). Read from Hamlib once and kept.
// Any thread.
#include <string>
#include <vector>

struct RigModelInfo {
    int model = 0;
    std::string manufacturer;
    std::string name;
};

const std::vector<RigModelInfo>& HamlibRigModels();
// Sorts as HamlibRigModels is sorted.
void SortRigModels(std::vector<RigModelInfo>& models);
