#pragma once
// Makes the clustering modules available to the module table's dispatch.

void RegisterClusteringModules();
