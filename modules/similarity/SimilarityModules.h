#pragma once
// Makes the similarity modules available to the module table's dispatch.

void RegisterSimilarityModules();
