-- A throat narrower at the bottom than at the top.
-- expect: H74
-- level: 2
UPDATE tbl_rvldaten SET HVE_BO = 0.5 WHERE bez = 'M1';
