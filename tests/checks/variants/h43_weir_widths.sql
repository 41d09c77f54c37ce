-- A weir notch wider at the bottom than at the top.
-- expect: H43
-- level: 2
UPDATE tbl_rvldaten SET HVE_BU = 2.0, HVE_BO = 1.0 WHERE bez = 'U1';
