// The duplicated-points check: POINTs lying within a plan tolerance of another
// POINT are erased, so that a TIN is not built on repeated survey shots.
#pragma once

// The menu tool: explanation, "<C>ancel <P>roceed", the tolerance, the pass.
void dtm_check_duplicates();
// One pass over the user's selection of POINTs with the current tolerance.
void dtm_remove_duplicates();
