-- A weir crest wider than its GEO profile.
-- expect: W30
-- level: 1
UPDATE tbl_rvldaten SET HVE_BU = 3.5, HVE_BO = 3.5 WHERE bez = 'U1';
